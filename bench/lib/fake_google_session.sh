# Shared set-up of the benches that run the widget's test build against the fake Google server.
# Sourced, not run:
#   here=$(cd "$(dirname "$0")/.." && pwd)
#   source "$here/bench/lib/fake_google_session.sh"
#   bench_in_test_session "$0" "$@"          # re-runs the bench in a private keyring session
#   bench_require "$exe"...                  # every program built, or a clear message
#   bench_work NAME                          # $work, private XDG folders, clean-up at exit
#   bench_start_fake                         # the fake over TLS on 48213, client secret written
#   bench_store_refresh_token                # the fake's refresh token in the session's keyring
# The widget's test build talks HTTPS to 127.0.0.1:48213 and trusts the build's test authority,
# so the fake must run with --tls or every refresh fails and the figures measure nothing.

bench_here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bench_pids=()

# Re-runs SCRIPT ARGS... on its own Xvfb display unless already on one.
bench_under_xvfb() {
  if [ -z "${AMBREL_UNDER_XVFB:-}" ]; then
    AMBREL_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$@"
  fi
}

# Re-runs SCRIPT ARGS... inside scripts/with-test-session unless already in such a session.
bench_in_test_session() {
  if [ -z "${AMBREL_TEST_SESSION:-}" ]; then
    exec "$bench_here/scripts/with-test-session" bash "$@"
  fi
}

bench_require() {
  local exe
  for exe in "$@"; do
    [ -x "$exe" ] || { echo "missing $exe (build it first)" >&2; exit 1; }
  done
}

# Ends the processes started with bench_track, then removes the work folder.
bench_cleanup() {
  local pid
  for pid in "${bench_pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  [ -n "${work:-}" ] && rm -rf "$work"
  return 0
}

bench_track() { bench_pids+=("$@"); }

# A fresh work folder /tmp/ambrel-NAME.XXXXXX with the program's XDG folders in it.
bench_work() {
  work=$(mktemp -d "/tmp/ambrel-$1.XXXXXX")
  trap bench_cleanup EXIT
  mkdir -p "$work"/{config/ambrel,data,cache}
  export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
}

# Waits until FILE holds TEXT; gives up after 5 s, or at once when PID (if given) has ended.
bench_wait_for() {
  local file=$1 text=$2 pid=${3:-}
  for _ in $(seq 100); do
    grep -q "$text" "$file" 2>/dev/null && return 0
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then break; fi
    sleep 0.05
  done
  echo "no \"$text\" in $file:" >&2
  cat "$file" >&2
  exit 1
}

# Starts the fake server over TLS, on port 48213 unless --port is among ARGS, and waits until it
# listens. Sets $fake_pid; the fake's log is $work/fake.log.
bench_start_fake() {
  local port=48213 arg
  for arg in "$@"; do
    if [ "$arg" = --port ]; then port=; fi
  done
  "$build/tests/fakes/fake-google" ${port:+--port "$port"} --tls "$@" \
    --client-secret-out "$XDG_CONFIG_HOME/ambrel/client_secret.json" >"$work/fake.log" 2>&1 &
  fake_pid=$!
  bench_track "$fake_pid"
  bench_wait_for "$work/fake.log" listening "$fake_pid"
}

# The fake server's default refresh token, given on stdin so it appears in no argument list.
bench_store_refresh_token() {
  printf '%s' '1//fake-refresh-token' | secret-tool store --label='Ambrel bench refresh token' \
    service com.corvane.ambrel access_group K7QW2ZP9RM.com.corvane.ambrel.shared \
    account google.refresh_token
}

# Waits until the widget program PID (its output in LOG) has stored its first snapshot.
bench_wait_for_snapshot() {
  local pid=$1 log=$2
  local snapshot="$XDG_CACHE_HOME/ambrel/com.corvane.ambrel.widget/earnings.snapshot"
  for _ in $(seq 150); do
    [ -f "$snapshot" ] && return 0
    kill -0 "$pid" 2>/dev/null || { cat "$log" >&2; exit 1; }
    sleep 0.1
  done
  echo "the widget program did not refresh" >&2
  cat "$log" >&2
  exit 1
}

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
peak_kb() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status"; }
mb() { awk -v kb="$1" 'BEGIN {printf "%.1f", kb / 1024}'; }

# The yardstick: sets $minimal_kb to MEASURE (rss_kb or peak_kb) of the smallest Qt Widgets
# window, $build/bench/minimal_window, two seconds after it starts on the bench's display.
bench_measure_minimal_window() {
  "$build/bench/minimal_window" >/dev/null 2>&1 &
  local pid=$!
  bench_track "$pid"
  sleep 2
  minimal_kb=$("$1" "$pid")
}

# Prints "ratio: A/B (goal: at most GOAL)".
bench_ratio() {
  awk -v a="$1" -v b="$2" -v goal="$3" 'BEGIN {printf "ratio: %.2f (goal: at most %s)\n", a / b, goal}'
}
