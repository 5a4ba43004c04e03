#!/usr/bin/env bash
# Peak resident memory of one `ambrel-widget timeline --json` (the widget's periodic refresh),
# measured with /usr/bin/time against the fake Google server over TLS, inside a private keyring
# session. Goal: at most 25 MB.
#   bench/widget_memory.sh BUILD_DIR
# Uses the test build of the program, whose AdSense base is the fake's fixed port 48213 over
# HTTPS and which loads the system's certificate authorities plus the test one, as many as the
# installed program loads.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)

if [ -z "${AMBREL_TEST_SESSION:-}" ]; then
  exec "$here/scripts/with-test-session" bash "$0" "$build"
fi

widget="$build/src/widget/ambrel-widget-testbase"
fake="$build/tests/fakes/fake-google"
for exe in "$widget" "$fake"; do
  [ -x "$exe" ] || { echo "missing $exe (build it first)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/ambrel-widget-memory.XXXXXX)
fake_pid=
cleanup() {
  [ -n "$fake_pid" ] && kill "$fake_pid" 2>/dev/null && wait "$fake_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work"/{config/ambrel,data,cache}
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"

"$fake" --port 48213 --tls --client-secret-out "$XDG_CONFIG_HOME/ambrel/client_secret.json" \
  >"$work/fake.log" 2>&1 &
fake_pid=$!
for _ in $(seq 50); do
  grep -q listening "$work/fake.log" 2>/dev/null && break
  kill -0 "$fake_pid" 2>/dev/null || { cat "$work/fake.log" >&2; exit 1; }
  sleep 0.1
done

# The fake server's default refresh token, given on stdin so it appears in no argument list.
printf '%s' '1//fake-refresh-token' | secret-tool store --label='Ambrel test refresh token' \
  service com.corvane.ambrel access_group K7QW2ZP9RM.com.corvane.ambrel.shared \
  account google.refresh_token

# Peak RSS in kB of one run; the entry must say connected, or the figure measures nothing.
peak_kb() {
  /usr/bin/time -v -o "$work/time.txt" env ${BENCH_ENV:-} "$widget" timeline --json >"$work/entry.json"
  grep -q '"isConnected":true' "$work/entry.json" || {
    echo "the widget did not refresh: $(cat "$work/entry.json")" >&2; exit 1; }
  awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt"
}

first=$(peak_kb)   # lists the account and fetches everything: five requests
cached=$(peak_kb)  # cached account and slow data: two requests
mb() { awk -v kb="$1" 'BEGIN {printf "%.1f", kb / 1024}'; }
echo "first run (5 requests): $(mb "$first") MB, cached run (2 requests): $(mb "$cached") MB"
worst=$(( first > cached ? first : cached ))
echo "timeline peak RSS: $(mb "$worst") MB (goal: 25 MB)"
