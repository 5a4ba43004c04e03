#!/usr/bin/env bash
# Resident memory of the desktop widgets as layer surfaces (`ambrel-widget show`, all three
# families, under headless sway) once the first timeline is on screen, beside that of the
# smallest Qt Widgets window on the same compositor, inside a private keyring session.
# Goal: ratio at most 1.5. The yardstick window loads Qt's EGL buffer integration (Mesa), which
# the host, showing no Qt window of its own, never loads; bench/widget_show_memory.sh gives the
# X11 figures for comparison.
#   bench/widget_layer_memory.sh BUILD_DIR
# Uses the test build of the program, whose AdSense base is the fake server's fixed port 48213,
# so the faces show connected figures after a real refresh. sway refuses to run as root: a
# root run starts it as nobody.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)

if [ -z "${AMBREL_TEST_SESSION:-}" ]; then
  exec "$here/scripts/with-test-session" bash "$0" "$build"
fi

widget="$build/src/widget/ambrel-widget-testbase"
minimal="$build/bench/minimal_window"
fake="$build/tests/fakes/fake-google"
for exe in "$widget" "$build/src/widget/ambrel-widget-host-testbase" "$minimal" "$fake"; do
  [ -x "$exe" ] || { echo "missing $exe (build it first)" >&2; exit 1; }
done
command -v sway >/dev/null || { echo "sway is not installed (scripts/install-deps)" >&2; exit 1; }

work=$(mktemp -d /tmp/ambrel-layer-memory.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work"/{config/ambrel,data,cache,sway}
chmod 700 "$work/sway"
printf 'output HEADLESS-1 resolution 1920x1080 position 0 0\nxwayland disable\n' >"$work/sway.config"
chmod 644 "$work/sway.config"
as_sway_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$work/sway"
  as_sway_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
env -i PATH="$PATH" HOME="$work/sway" XDG_RUNTIME_DIR="$work/sway" WLR_BACKENDS=headless \
  WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  "${as_sway_user[@]}" sway -d -c "$work/sway.config" >"$work/sway.log" 2>&1 &
pids+=($!)
socket=
for _ in $(seq 100); do
  socket=$(find "$work/sway" -maxdepth 1 -type s -name 'wayland-*' | head -n 1)
  [ -n "$socket" ] && break
  sleep 0.1
done
[ -n "$socket" ] || { echo "sway did not start" >&2; cat "$work/sway.log" >&2; exit 1; }

export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
export WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland
unset DISPLAY

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
sleep 2  # the entry is applied and drawn on the GUI thread
# Three layer surfaces, or the figure measures the ordinary windows of the fallback.
surfaces=$(grep -c 'new layer surface: namespace ambrel-widget layer 1' "$work/sway.log" || true)
[ "$surfaces" -eq 3 ] || { echo "expected 3 layer surfaces, sway made $surfaces" >&2;
                           cat "$work/show.log" >&2; exit 1; }
show_kb=$(rss_kb "$show_pid")

"$minimal" >/dev/null 2>&1 &
minimal_pid=$!
pids+=("$minimal_pid")
sleep 2
minimal_kb=$(rss_kb "$minimal_pid")

echo "ambrel-widget show (3 layer-shell faces): $(mb "$show_kb") MB"
echo "minimal Qt Widgets window on Wayland:     $(mb "$minimal_kb") MB"
awk -v a="$show_kb" -v b="$minimal_kb" 'BEGIN {printf "ratio: %.2f (goal: at most 1.5)\n", a / b}'
