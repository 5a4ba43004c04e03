#!/usr/bin/env bash
# A copy installed under a prefix other than the configured one, outside the build tree, reads
# its own data: in a French session the application's help, the widget's status line and a face
# drawn by the widget host are French. $1: the build tree.
set -euo pipefail
build=$1
root=$(mktemp -d /tmp/ambrel-relocated.XXXXXX)
trap 'rm -rf "$root"' EXIT
prefix=$root/elsewhere
cmake --install "$build" --prefix "$prefix" >/dev/null
mkdir -p "$root/home" "$root/run"
chmod 700 "$root/run"

fail() { echo "FAIL: $*" >&2; exit 1; }
# A clean session without a bus or a display: signed out, and nothing to reach but files.
session() {
  local language=$1; shift
  env -i PATH=/usr/bin:/bin HOME="$root/home" XDG_CONFIG_HOME="$root/config" \
    XDG_DATA_HOME="$root/data" XDG_CACHE_HOME="$root/cache" XDG_RUNTIME_DIR="$root/run" \
    LANGUAGE="$language" LC_ALL=C.UTF-8 "$@"
}

help=$(session fr "$prefix/bin/ambrel" --help)
grep -q "^Affiche vos revenus AdSense" <<<"$help" || fail "ambrel --help is not French: $help"

status=$(session fr "$prefix/bin/ambrel-widget" status)
[ "$status" = "Ambrel : non connecté" ] || fail "ambrel-widget status is not French: $status"

# Signed out, a face holds its text alone: French and English draw differently only when the
# host found the catalog.
for language in fr en; do
  session "$language" "$prefix/bin/ambrel-widget" render --family medium \
    --output "$root/$language.png" 2>/dev/null || fail "render in $language failed"
done
! cmp -s "$root/fr.png" "$root/en.png" || fail "the face is drawn the same in French and English"
echo "relocated install speaks French"
