#!/usr/bin/env bash
# Start-up time of ambrel to its first painted frame, against a minimal Qt Widgets window
# (bench/minimal_window), both under the same Xvfb server in one run. Goal: ratio <= 1.5.
#
#   bench/startup_bench.sh [--session] BUILD_DIR [RUNS]
#
# Each program is started RUNS times (alternating, after one warm-up each), with
# AMBREL_REPORT_FIRST_PAINT=1: it prints "first-paint <ns since the epoch>" once its window has
# been painted and quits. Time counts from just before the exec to that line, so it includes
# loading the shared libraries.
#
# By default ambrel starts signed out, with empty XDG folders and no session bus (its secret
# store then falls back to files at once). With --session it starts as a signed-in user meets
# it every day: a private session bus with an unlocked gnome-keyring holding the refresh token
# (scripts/with-test-session), and the figures of an earlier run in its cache, which it shows at
# start; its first refresh then fails at once for want of client_secret.json, so no network is
# involved.
set -euo pipefail

session=0
if [ "${1:-}" = "--session" ]; then
  session=1
  shift
fi
build=${1:?usage: startup_bench.sh [--session] BUILD_DIR [RUNS]}
runs=${2:-15}
case $runs in
  '' | *[!0-9]* | 0) echo "startup_bench: RUNS must be a positive number, not '$runs'" >&2; exit 2 ;;
esac
here=$(cd "$(dirname "$0")/.." && pwd)
app=$build/src/app/ambrel
minimal=$build/bench/minimal_window
for program in "$app" "$minimal"; do
  [ -x "$program" ] || { echo "startup_bench: $program not built" >&2; exit 2; }
done

if [ -z "${AMBREL_BENCH_UNDER_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "startup_bench: xvfb-run not found" >&2; exit 2; }
  args=("$build" "$runs")
  [ "$session" = 1 ] && args=(--session "${args[@]}")
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env AMBREL_BENCH_UNDER_XVFB=1 "$0" "${args[@]}"
fi
if [ "$session" = 1 ] && [ -z "${AMBREL_TEST_SESSION:-}" ]; then
  exec "$here/scripts/with-test-session" "$0" --session "$build" "$runs"
fi

# The snapshot an earlier run stored ten minutes ago: 35 days of figures, as a refresh writes.
write_cached_snapshot() {
  local folder=${XDG_CACHE_HOME:-$HOME/.cache}/ambrel/com.corvane.ambrel days="" i
  for ((i = 34; i >= 0; i--)); do
    days+="{\"date\":\"$(date -u -d "-$i days" +%F)\",\"earnings\":$((i % 7 + 2)).25},"
  done
  local perf='{"pageViews":15300,"rpm":0.81,"impressions":40200,"clicks":52,"cpc":0.24,"ctr":1.23}'
  (umask 077 && mkdir -p "$folder" && cat >"$folder/earnings.snapshot" <<JSON
{"today":6.5,"yesterday":12.34,"yesterdayPrevWeek":11.14,"last7":80,"prev7":100,
"monthToDate":150,"monthLastYear":120,"perfYesterday":$perf,"perfPrevWeek":$perf,
"balance":"€245.10","lastPaymentAmount":"€310.42","lastPaymentDateLabel":"Jan 21, 2026",
"currency":"EUR","updatedAt":$(($(date +%s) - 978307200 - 600)),"dailyEarnings":[${days%,}],
"timeZone":"Europe/Paris"}
JSON
  )
}

if [ "$session" = 1 ]; then
  printf '%s' '1//bench-refresh-token' | secret-tool store --label='Ambrel bench refresh token' \
    service com.corvane.ambrel access_group K7QW2ZP9RM.com.corvane.ambrel.shared \
    account google.refresh_token
  write_cached_snapshot
else
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
  export XDG_CACHE_HOME=$scratch/cache XDG_RUNTIME_DIR=$scratch/runtime
  mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-session-bus
fi
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
awk -v a="$app_median" -v m="$minimal_median" -v n="$runs" -v s="$session" 'BEGIN {
  ratio = a / m
  printf "session:               %s\n", s ? "bus and unlocked keyring, signed in, figures cached" : "none, signed out"
  printf "runs per program:      %d (median)\n", n
  printf "ambrel first paint:    %.1f ms\n", a / 1000
  printf "minimal window:        %.1f ms\n", m / 1000
  printf "ratio:                 %.2f (goal <= 1.5: %s)\n", ratio, ratio <= 1.5 ? "met" : "NOT met"
}'
