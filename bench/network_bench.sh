#!/usr/bin/env bash
# What a widget refresh costs over a distance: `ambrel-widget timeline --json` (its test build,
# which talks HTTPS to 127.0.0.1:48213 and trusts the build's test authority) against the fake
# Google server behind bench/latency_relay, with the server's own times of Google's answers.
#   bench/network_bench.sh BUILD_DIR [RUNS] [RTT_MS]
#
# Reports for a first refresh (empty cache: 5 requests) and a steady one (account and slow data
# cached: 2 requests) the median wall time of the whole process, its ratio to the floor of the
# requests' dependencies, the connections opened and the requests made. Goals: ratio <= 1.15,
# one connection per server plus the parallel ones HTTP/1.1 forces.
#
# The floor: a new TLS 1.3 connection costs two round trips before its first request, an
# exchange one round trip plus the server's time. The token comes first on its own connection;
# the AdSense connection opens meanwhile; then the accounts list; then the daily report, last
# year's month and the payments side by side, the two that cannot share the first connection
# over HTTP/1.1 each on a new one.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-7}
rtt=${3:-60}
token_ms=80 accounts_ms=60 daily_ms=250 report_ms=200 payments_ms=120

source "$here/bench/lib/fake_google_session.sh"
bench_in_test_session "$0" "$build" "$runs" "$rtt"

widget="$build/src/widget/ambrel-widget-testbase"
relay="$build/bench/latency_relay"
bench_require "$widget" "$build/tests/fakes/fake-google" "$relay"
bench_work network-bench

# The fake listens on a port of its own; the relay stands on the one the program talks to.
bench_start_fake --port 48290 --public-port 48213 \
  --server-times "token=$token_ms,accounts=$accounts_ms,daily=$daily_ms,report=$report_ms,payments=$payments_ms"
"$relay" --listen 48213 --target 48290 --rtt-ms "$rtt" >"$work/relay.log" 2>&1 &
bench_track $!
bench_wait_for "$work/relay.log" listening
bench_store_refresh_token

connections() { grep -c '^connection' "$work/relay.log" || true; }
# The requests the fake answered since the last call, as "N: POST /token, ...".
requests() {
  local before
  before=$(grep -c '^requests' "$work/fake.log" || true)
  kill -USR1 "$fake_pid"
  for _ in $(seq 100); do
    [ "$(grep -c '^requests' "$work/fake.log" || true)" -gt "$before" ] && break
    sleep 0.02
  done
  grep '^requests' "$work/fake.log" | tail -1 | cut -d' ' -f2-
}

# One refresh: "<ms> <connections> <requests>".
refresh() {
  local start end opened_before
  requests >/dev/null
  opened_before=$(connections)
  start=$(date +%s%N)
  "$widget" timeline --json >"$work/entry.json"
  end=$(date +%s%N)
  grep -q '"isConnected":true' "$work/entry.json" || { echo "no refresh: $(cat "$work/entry.json")" >&2; exit 1; }
  sleep 0.05  # the relay prints its last connections
  echo "$(((end - start) / 1000000)) $(($(connections) - opened_before)) $(requests | cut -d: -f1)"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

first_floor=$((3 * rtt + token_ms + rtt + accounts_ms))
slowest=$((rtt + daily_ms))
for other in $((3 * rtt + report_ms)) $((3 * rtt + payments_ms)); do
  [ "$other" -gt "$slowest" ] && slowest=$other
done
first_floor=$((first_floor + slowest))
steady_floor=$((3 * rtt + token_ms + rtt + daily_ms))

first_times=() steady_times=()
for ((i = 0; i < runs; i++)); do
  rm -rf "$XDG_CACHE_HOME/ambrel"
  read -r ms opened made < <(refresh)
  first_times+=("$ms"); first_conn=$opened; first_req=$made
  read -r ms opened made < <(refresh)
  steady_times+=("$ms"); steady_conn=$opened; steady_req=$made
done
first=$(printf '%s\n' "${first_times[@]}" | median)
steady=$(printf '%s\n' "${steady_times[@]}" | median)
awk -v f="$first" -v ff="$first_floor" -v s="$steady" -v sf="$steady_floor" -v rtt="$rtt" \
    -v fc="$first_conn" -v sc="$steady_conn" -v fr="$first_req" -v sr="$steady_req" -v n="$runs" 'BEGIN {
  printf "round trip: %d ms, runs: %d (median), server times as Google: token 80, accounts 60, daily 250, last year 200, payments 120 ms\n", rtt, n
  printf "first refresh:  %5.0f ms, floor %d ms, ratio %.2f (goal <= 1.15: %s), %d connections, %d requests\n", f, ff, f / ff, f / ff <= 1.15 ? "met" : "NOT met", fc, fr
  printf "steady refresh: %5.0f ms, floor %d ms, ratio %.2f (goal <= 1.15: %s), %d connections, %d requests\n", s, sf, s / sf, s / sf <= 1.15 ? "met" : "NOT met", sc, sr
}'
