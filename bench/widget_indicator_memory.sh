#!/usr/bin/env bash
# Peak resident memory of the panel indicator alone (`ambrel-widget indicator`, no faces) once
# the first timeline is in its icon and tooltip and a panel has read them, beside that of the
# smallest Qt Widgets window on an Xvfb display, inside a private keyring session.
# Goal: ratio at most 1.2.
#   bench/widget_indicator_memory.sh BUILD_DIR
# Uses the test build of the program, whose AdSense base is the fake server's fixed port 48213,
# so the indicator shows connected figures after a real refresh.
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

work=$(mktemp -d /tmp/ambrel-indicator-memory.XXXXXX)
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

peak_kb() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status"; }
mb() { awk -v kb="$1" 'BEGIN {printf "%.1f", kb / 1024}'; }

"$widget" indicator >"$work/indicator.log" 2>&1 &
indicator_pid=$!
pids+=("$indicator_pid")
snapshot="$XDG_CACHE_HOME/ambrel/com.corvane.ambrel.widget/earnings.snapshot"
for _ in $(seq 150); do
  [ -f "$snapshot" ] && break
  kill -0 "$indicator_pid" 2>/dev/null || { cat "$work/indicator.log" >&2; exit 1; }
  sleep 0.1
done
[ -f "$snapshot" ] || { echo "the indicator did not refresh" >&2; cat "$work/indicator.log" >&2; exit 1; }
sleep 2  # the entry reaches the host and its icons are drawn
# What a panel reads: every property of the item (the icons among them) and the menu.
item="org.kde.StatusNotifierItem-$indicator_pid-1"
gdbus call --session --dest "$item" --object-path /StatusNotifierItem \
  --method org.freedesktop.DBus.Properties.GetAll org.kde.StatusNotifierItem >/dev/null
gdbus call --session --dest "$item" --object-path /MenuBar \
  --method com.canonical.dbusmenu.GetLayout -- 0 -1 "@as []" >/dev/null
indicator_kb=$(peak_kb "$indicator_pid")

"$minimal" >/dev/null 2>&1 &
minimal_pid=$!
pids+=("$minimal_pid")
sleep 2
minimal_kb=$(peak_kb "$minimal_pid")

echo "ambrel-widget indicator (no faces): $(mb "$indicator_kb") MB peak"
echo "minimal Qt Widgets window:          $(mb "$minimal_kb") MB peak"
awk -v a="$indicator_kb" -v b="$minimal_kb" 'BEGIN {printf "ratio: %.2f (goal: at most 1.2)\n", a / b}'
