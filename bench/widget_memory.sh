#!/usr/bin/env bash
# Peak resident memory of one `ambrel-widget timeline --json` (the widget's periodic refresh),
# measured with /usr/bin/time against the fake Google server over TLS, inside a private keyring
# session. Goal: at most 25 MB.
#   bench/widget_memory.sh BUILD_DIR
# Uses the test build of the program, whose AdSense base is the fake's fixed port 48213 over
# HTTPS and which trusts the system's certificate authorities, read as the installed program
# reads them, plus the test one. BENCH_ENV (VAR=value ...) is passed to the program's environment.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
source "$here/bench/lib/fake_google_session.sh"
bench_in_test_session "$0" "$build"

widget="$build/src/widget/ambrel-widget-testbase"
bench_require "$widget" "$build/tests/fakes/fake-google"
bench_work widget-memory
bench_start_fake
bench_store_refresh_token

# Peak RSS in kB of one run; the entry must say connected, or the figure measures nothing.
peak_run_kb() {
  /usr/bin/time -v -o "$work/time.txt" env ${BENCH_ENV:-} "$widget" timeline --json >"$work/entry.json"
  grep -q '"isConnected":true' "$work/entry.json" || {
    echo "the widget did not refresh: $(cat "$work/entry.json")" >&2; exit 1; }
  awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt"
}

first=$(peak_run_kb)   # lists the account and fetches everything: five requests
cached=$(peak_run_kb)  # cached account and slow data: two requests
echo "first run (5 requests): $(mb "$first") MB, cached run (2 requests): $(mb "$cached") MB"
worst=$(( first > cached ? first : cached ))
echo "timeline peak RSS: $(mb "$worst") MB (goal: 25 MB)"
