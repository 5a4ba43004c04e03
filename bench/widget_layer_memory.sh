#!/usr/bin/env bash
# Resident memory of the desktop widgets as layer surfaces (`ambrel-widget show`, all three
# families, under headless sway) once the first timeline is on screen, beside that of the
# smallest Qt Widgets window on the same compositor, inside a private keyring session.
# Goal: ratio at most 1.5. The yardstick window loads Qt's EGL buffer integration (Mesa), which
# the host, showing no Qt window of its own, never loads; bench/widget_show_memory.sh gives the
# X11 figures for comparison.
#   bench/widget_layer_memory.sh BUILD_DIR
# Uses the test build of the program, whose AdSense base is the fake server's fixed port 48213
# (HTTPS), so the faces show connected figures after a real refresh. sway refuses to run as
# root: a root run starts it as nobody.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
source "$here/bench/lib/fake_google_session.sh"
bench_in_test_session "$0" "$build"

widget="$build/src/widget/ambrel-widget-testbase"
bench_require "$widget" "$build/src/widget/ambrel-widget-host-testbase" \
  "$build/bench/minimal_window" "$build/tests/fakes/fake-google"
command -v sway >/dev/null || { echo "sway is not installed (scripts/install-deps)" >&2; exit 1; }

bench_work layer-memory
chmod 755 "$work"
mkdir -p "$work/sway"
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
bench_track $!
socket=
for _ in $(seq 100); do
  socket=$(find "$work/sway" -maxdepth 1 -type s -name 'wayland-*' | head -n 1)
  [ -n "$socket" ] && break
  sleep 0.1
done
[ -n "$socket" ] || { echo "sway did not start" >&2; cat "$work/sway.log" >&2; exit 1; }

export WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland
unset DISPLAY
bench_start_fake
bench_store_refresh_token

"$widget" show >"$work/show.log" 2>&1 &
show_pid=$!
bench_track "$show_pid"
bench_wait_for_snapshot "$show_pid" "$work/show.log"
sleep 2  # the entry is applied and drawn on the GUI thread
# Three layer surfaces, or the figure measures the ordinary windows of the fallback.
surfaces=$(grep -c 'new layer surface: namespace ambrel-widget layer 1' "$work/sway.log" || true)
[ "$surfaces" -eq 3 ] || { echo "expected 3 layer surfaces, sway made $surfaces" >&2;
                           cat "$work/show.log" >&2; exit 1; }
show_kb=$(rss_kb "$show_pid")

bench_measure_minimal_window rss_kb

echo "ambrel-widget show (3 layer-shell faces): $(mb "$show_kb") MB"
echo "minimal Qt Widgets window on Wayland:     $(mb "$minimal_kb") MB"
bench_ratio "$show_kb" "$minimal_kb" 1.5
