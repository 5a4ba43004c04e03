#!/usr/bin/env bash
# Resident memory of the desktop widgets (`ambrel-widget show`, all three families) once the
# first timeline is on screen, beside that of the smallest Qt Widgets window, both measured in
# this run on one Xvfb display, inside a private keyring session. Goal: ratio at most 1.5.
#   bench/widget_show_memory.sh BUILD_DIR
# Uses the test build of the program, whose AdSense base is the fake server's fixed port 48213
# (HTTPS), so the widgets show connected figures after a real refresh.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
source "$here/bench/lib/fake_google_session.sh"
bench_in_test_session "$0" "$build"
bench_under_xvfb "$0" "$build"

widget="$build/src/widget/ambrel-widget-testbase"
bench_require "$widget" "$build/src/widget/ambrel-widget-host-testbase" \
  "$build/bench/minimal_window" "$build/tests/fakes/fake-google"
bench_work show-memory
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
bench_start_fake
bench_store_refresh_token

# The widgets: the first timeline has arrived when the refresh has stored its snapshot.
"$widget" show >"$work/show.log" 2>&1 &
show_pid=$!
bench_track "$show_pid"
bench_wait_for_snapshot "$show_pid" "$work/show.log"
sleep 2  # the entry is applied and painted on the GUI thread
show_kb=$(rss_kb "$show_pid")

bench_measure_minimal_window rss_kb

echo "ambrel-widget show (3 families): $(mb "$show_kb") MB"
echo "minimal Qt Widgets window:       $(mb "$minimal_kb") MB"
bench_ratio "$show_kb" "$minimal_kb" 1.5
