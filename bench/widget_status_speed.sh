#!/usr/bin/env bash
# Wall time of `ambrel-widget status` on a fresh cache (what a status bar runs every few
# seconds) beside that of `ambrel-widget snapshot --json`, which reads the same stores, inside a
# private keyring session. Both run RUNS times, interleaved over several rounds; each figure is
# the best round's mean. Goal: ratio at most 1.5.
#   bench/widget_status_speed.sh BUILD_DIR [RUNS]
# Uses the test build of the program, whose AdSense base is the fake server's fixed port 48213
# over HTTPS: one `timeline --json` fills the cache first.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-40}
source "$here/bench/lib/fake_google_session.sh"
bench_in_test_session "$0" "$build" "$runs"

widget="$build/src/widget/ambrel-widget-testbase"
bench_require "$widget" "$build/tests/fakes/fake-google"
bench_work status-speed
bench_start_fake
bench_store_refresh_token
"$widget" timeline --json | grep -q '"isConnected":true' || {
  echo "the cache was not filled" >&2; exit 1; }

# Mean milliseconds of one run of the command, over $runs runs.
mean_ms() {
  local start end
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$widget" "$@" >/dev/null; done
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v n="$runs" 'BEGIN {printf "%.3f", ns / n / 1e6}'
}

# A fresh cache must not be refreshed: the stored snapshot (and its date) stays as it is.
snapshot="$XDG_CACHE_HOME/ambrel/com.corvane.ambrel.widget/earnings.snapshot"
before=$(sha256sum <"$snapshot")
best_status= best_snapshot=
for _ in 1 2 3; do
  s=$(mean_ms status --format waybar)
  j=$(mean_ms snapshot --json)
  best_status=$(awk -v a="$s" -v b="${best_status:-1e9}" 'BEGIN {print (a < b) ? a : b}')
  best_snapshot=$(awk -v a="$j" -v b="${best_snapshot:-1e9}" 'BEGIN {print (a < b) ? a : b}')
done
[ "$before" = "$(sha256sum <"$snapshot")" ] || { echo "status refreshed a fresh cache" >&2; exit 1; }

echo "status --format waybar (fresh cache): $best_status ms per run"
echo "snapshot --json:                      $best_snapshot ms per run"
awk -v a="$best_status" -v b="$best_snapshot" 'BEGIN {printf "ratio: %.2f (goal: at most 1.5)\n", a / b}'
