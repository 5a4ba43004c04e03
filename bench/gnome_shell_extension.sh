#!/usr/bin/env bash
# What the GNOME Shell extension costs the shell: the proportional set size (Pss) of a headless
# GNOME Shell 43 with the extension enabled against the same shell without it, each read once
# the desktop has settled (with the extension: once its medium face is drawn) and after a
# garbage collection, as the median of three starts each; and how long the extension's
# disable() takes, the median of twenty. Goal: under 5 MB more.
#   bench/gnome_shell_extension.sh BUILD_DIR
# Runs through tests/gnome-shell/in-shell-session (an unprivileged user, a session of its own,
# the extension installed by cmake --install), signed in against the fake Google server, with the
# tests' helper extension in both shells, so that Eval answers.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
if [ -z "${AMBREL_SHELL_SESSION_STAGE:-}" ]; then
  exec "$here/tests/gnome-shell/in-shell-session" "$build" bash "$here/bench/gnome_shell_extension.sh" "$build"
fi
source "$here/bench/lib/fake_google_session.sh"
bench_require "$build/src/widget/ambrel-widget-testbase" "$build/tests/fakes/fake-google"
# The session's own XDG folders, not bench_work's: the settings service of the session writes
# where the session says, and the shell must read the same.
work=$(mktemp -d /tmp/ambrel-gnome-shell.XXXXXX)
trap bench_cleanup EXIT
mkdir -p "$XDG_CONFIG_HOME/ambrel"
bench_start_fake
bench_store_refresh_token
mkdir -p "$work/bin" "$XDG_DATA_HOME/gnome-shell/extensions"
ln -s "$build/src/widget/ambrel-widget-testbase" "$work/bin/ambrel-widget"
cp -r "$here/tests/gnome-shell/helper" "$XDG_DATA_HOME/gnome-shell/extensions/ambrel-test-helper@corvane.com"
export PATH="$work/bin:/usr/bin:/bin" XDG_DATA_DIRS="$AMBREL_EXTENSION_PREFIX/share:/usr/share"
ambrel-widget timeline --json >/dev/null
gsettings set org.gnome.shell welcome-dialog-last-shown-version "'999'"

# The value of CODE in the shell, or nothing while it does not answer.
shell_eval() {
  gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.gnome.Shell.Eval "$1" \
    2>/dev/null | sed -nE "s/^\(true, '(.*)'\)$/\1/p"
}

wait_until() {
  for _ in $(seq 300); do
    [ "$(shell_eval "$1")" = true ] && return 0
    sleep 0.1
  done
  echo "the shell never answered true to: $1" >&2
  exit 1
}

pss_kb() { awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup"; }
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# Starts the shell with the extensions ENABLED, waits until READY holds, and prints its Pss;
# with a third argument, also times disable() into $timings.
measure() {
  local enabled=$1 ready=$2 timed=${3:-} shell
  gsettings set org.gnome.shell enabled-extensions "$enabled"
  gnome-shell --headless --wayland --no-x11 --virtual-monitor 1280x800 >>"$work/shell.log" 2>&1 &
  shell=$!
  wait_until "typeof ambrelTest === 'object' && ambrelTest.ready() && ($ready)"
  sleep 3
  shell_eval 'ambrelTest.collectGarbage()' >/dev/null
  sleep 1
  pss_kb "$shell"
  if [ -n "$timed" ]; then
    for _ in $(seq 20); do shell_eval 'ambrelTest.timeDisable()' >>"$timings"; done
  fi
  kill -TERM "$shell"
  wait "$shell" 2>/dev/null || true
}

timings="$work/disable.ms"
without=() with=()
for _ in 1 2 3; do
  without+=("$(measure "['ambrel-test-helper@corvane.com']" true)")
  with+=("$(measure "['ambrel-test-helper@corvane.com', 'ambrel@corvane.com']" \
    "ambrelTest.state().faces.some(face => face.visible)" timed)")
done
without_kb=$(printf '%s\n' "${without[@]}" | median)
with_kb=$(printf '%s\n' "${with[@]}" | median)
echo "GNOME Shell without the extension: $(mb "$without_kb") MB Pss (runs: ${without[*]} kB)"
echo "GNOME Shell with the extension:    $(mb "$with_kb") MB Pss (runs: ${with[*]} kB)"
awk -v a="$with_kb" -v b="$without_kb" \
  'BEGIN {printf "difference: %+.1f MB (goal: under 5 MB more)\n", (a - b) / 1024}'
echo "disable(): $(median <"$timings") ms (median of $(wc -l <"$timings"))"
