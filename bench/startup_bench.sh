#!/usr/bin/env bash
# Start-up time of ambrel to its first painted frame, against a minimal Qt Widgets window
# (bench/minimal_window), both under the same Xvfb server in one run. Goal: ratio <= 1.5.
#
#   bench/startup_bench.sh BUILD_DIR [RUNS]
#
# Each program is started RUNS times (alternating, after one warm-up each), with
# AMBREL_REPORT_FIRST_PAINT=1: it prints "first-paint <ns since the epoch>" once its window has
# been painted and quits. Time counts from just before the exec to that line, so it includes
# loading the shared libraries. ambrel starts signed out, with empty XDG folders and no session
# bus (its secret store then falls back to files at once instead of waiting for a keyring).
set -euo pipefail

build=${1:?usage: startup_bench.sh BUILD_DIR [RUNS]}
runs=${2:-15}
app=$build/src/app/ambrel
minimal=$build/bench/minimal_window
for program in "$app" "$minimal"; do
  [ -x "$program" ] || { echo "startup_bench: $program not built" >&2; exit 2; }
done

if [ -z "${AMBREL_BENCH_UNDER_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "startup_bench: xvfb-run not found" >&2; exit 2; }
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env AMBREL_BENCH_UNDER_XVFB=1 "$0" "$@"
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data XDG_CACHE_HOME=$scratch/cache
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-session-bus
export AMBREL_REPORT_FIRST_PAINT=1
unset QT_QPA_PLATFORM

# Microseconds from exec to the reported first paint.
measure() {
  local start painted
  start=$(date +%s%N)
  painted=$(timeout 30 "$1" 2>/dev/null | awk '$1 == "first-paint" { print $2 }')
  [ -n "$painted" ] || { echo "startup_bench: $1 reported no first paint" >&2; exit 1; }
  echo $(((painted - start) / 1000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure "$app" >/dev/null
measure "$minimal" >/dev/null
app_times=()
minimal_times=()
for ((i = 0; i < runs; i++)); do
  app_times+=("$(measure "$app")")
  minimal_times+=("$(measure "$minimal")")
done

app_median=$(printf '%s\n' "${app_times[@]}" | median)
minimal_median=$(printf '%s\n' "${minimal_times[@]}" | median)
awk -v a="$app_median" -v m="$minimal_median" -v n="$runs" 'BEGIN {
  ratio = a / m
  printf "runs per program:      %d (median)\n", n
  printf "ambrel first paint:    %.1f ms\n", a / 1000
  printf "minimal window:        %.1f ms\n", m / 1000
  printf "ratio:                 %.2f (goal <= 1.5: %s)\n", ratio, ratio <= 1.5 ? "met" : "NOT met"
}'
