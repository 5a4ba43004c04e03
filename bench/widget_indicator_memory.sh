#!/usr/bin/env bash
# Peak resident memory of the panel indicator alone (`ambrel-widget indicator`, no faces) once
# the first timeline is in its icon and tooltip and a panel has read them, beside that of the
# smallest Qt Widgets window on an Xvfb display, inside a private keyring session.
# Goal: ratio at most 1.2.
#   bench/widget_indicator_memory.sh BUILD_DIR
# Uses the test build of the program, whose AdSense base is the fake server's fixed port 48213
# (HTTPS), so the indicator shows connected figures after a real refresh.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
source "$here/bench/lib/fake_google_session.sh"
bench_in_test_session "$0" "$build"
bench_under_xvfb "$0" "$build"

widget="$build/src/widget/ambrel-widget-testbase"
bench_require "$widget" "$build/src/widget/ambrel-widget-host-testbase" \
  "$build/bench/minimal_window" "$build/tests/fakes/fake-google"
bench_work indicator-memory
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
bench_start_fake
bench_store_refresh_token

"$widget" indicator >"$work/indicator.log" 2>&1 &
indicator_pid=$!
bench_track "$indicator_pid"
bench_wait_for_snapshot "$indicator_pid" "$work/indicator.log"
sleep 2  # the entry reaches the host and its icons are drawn
# What a panel reads: every property of the item (the icons among them) and the menu.
item="org.kde.StatusNotifierItem-$indicator_pid-1"
gdbus call --session --dest "$item" --object-path /StatusNotifierItem \
  --method org.freedesktop.DBus.Properties.GetAll org.kde.StatusNotifierItem >/dev/null
gdbus call --session --dest "$item" --object-path /MenuBar \
  --method com.canonical.dbusmenu.GetLayout -- 0 -1 "@as []" >/dev/null
indicator_kb=$(peak_kb "$indicator_pid")

bench_measure_minimal_window peak_kb

echo "ambrel-widget indicator (no faces): $(mb "$indicator_kb") MB peak"
echo "minimal Qt Widgets window:          $(mb "$minimal_kb") MB peak"
bench_ratio "$indicator_kb" "$minimal_kb" 1.2
