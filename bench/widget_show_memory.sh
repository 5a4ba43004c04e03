#!/usr/bin/env bash
# Resident memory of the desktop widgets (`ambrel-widget show`, all three families) once the
# first timeline is on screen, beside that of the smallest Qt Widgets window, both measured in
# this run on one Xvfb display, inside a private keyring session. Goal: ratio at most 1.5.
#   bench/widget_show_memory.sh BUILD_DIR
# Uses the test build of the program, whose AdSense base is the fake server's fixed port 48213,
# so the widgets show connected figures after a real refresh.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)

if [ -z "${AMBREL_TEST_SESSION:-}" ]; then
  exec "$here/scripts/with-test-session" bash "$0" "$build"
fi
if [ -z "${AMBREL_UNDER_XVFB:-}" ]; then
  AMBREL_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$build"
fi

widget="$build/src/widget/ambrel-widget-testbase"
minimal="$build/bench/minimal_window"
fake="$build/tests/fakes/fake-google"
for exe in "$widget" "$build/src/widget/ambrel-widget-host-testbase" "$minimal" "$fake"; do
  [ -x "$exe" ] || { echo "missing $exe (build it first)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/ambrel-show-memory.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work"/{config/ambrel,data,cache}
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

"$fake" --port 48213 --client-secret-out "$XDG_CONFIG_HOME/ambrel/client_secret.json" \
  >"$work/fake.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  grep -q listening "$work/fake.log" 2>/dev/null && break
  sleep 0.1
done

# The fake server's default refresh token, given on stdin so it appears in no argument list.
printf '%s' '1//fake-refresh-token' | secret-tool store --label='Ambrel test refresh token' \
  service com.corvane.ambrel access_group K7QW2ZP9RM.com.corvane.ambrel.shared \
  account google.refresh_token

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
mb() { awk -v kb="$1" 'BEGIN {printf "%.1f", kb / 1024}'; }

# The widgets: the first timeline has arrived when the refresh has stored its snapshot.
"$widget" show >"$work/show.log" 2>&1 &
show_pid=$!
pids+=("$show_pid")
snapshot="$XDG_CACHE_HOME/ambrel/com.corvane.ambrel.widget/earnings.snapshot"
for _ in $(seq 150); do
  [ -f "$snapshot" ] && break
  kill -0 "$show_pid" 2>/dev/null || { cat "$work/show.log" >&2; exit 1; }
  sleep 0.1
done
[ -f "$snapshot" ] || { echo "the widgets did not refresh" >&2; cat "$work/show.log" >&2; exit 1; }
sleep 2  # the entry is applied and painted on the GUI thread
show_kb=$(rss_kb "$show_pid")

"$minimal" >/dev/null 2>&1 &
minimal_pid=$!
pids+=("$minimal_pid")
sleep 2
minimal_kb=$(rss_kb "$minimal_pid")

echo "ambrel-widget show (3 families): $(mb "$show_kb") MB"
echo "minimal Qt Widgets window:       $(mb "$minimal_kb") MB"
awk -v a="$show_kb" -v b="$minimal_kb" 'BEGIN {printf "ratio: %.2f (goal: at most 1.5)\n", a / b}'
