#!/usr/bin/env bash
# The template holds exactly the messages the sources use (help and usage texts included), and
# every catalog of po/LINGUAS holds all of them, translated, none fuzzy, with its plural rule.
# A text added or changed in the sources fails here until scripts/update-po has been run and
# the translations topped up. $1: the source tree.
set -euo pipefail
cd "$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

scripts/update-po --template "$work/fresh.pot"
msgcmp --use-untranslated po/ambrel.pot "$work/fresh.pot" 2>"$work/missing" ||
  fail "po/ambrel.pot lacks messages of the sources (run scripts/update-po):
$(cat "$work/missing")"
msgcmp --use-untranslated "$work/fresh.pot" po/ambrel.pot 2>"$work/stale" ||
  fail "po/ambrel.pot holds messages the sources no longer use (run scripts/update-po):
$(cat "$work/stale")"
for help in "Files, environment and exit statuses: man ambrel\\n" \
            "Files, environment and exit statuses: man ambrel-widget\\n"; do
  grep -qF "\"$help\"" "$work/fresh.pot" || fail "the template lacks the help text ending \"$help\""
done

languages=$(grep -v '^#' po/LINGUAS)
for po in po/*.po; do
  grep -qx "$(basename "$po" .po)" <<<"$languages" || fail "$po is missing from po/LINGUAS"
done
for lang in $languages; do
  po=po/$lang.po
  [ -f "$po" ] || { fail "po/LINGUAS names $lang, but $po is missing"; continue; }
  msgcmp --use-untranslated "$po" "$work/fresh.pot" 2>"$work/absent" ||
    fail "$po lacks messages of the sources (run scripts/update-po):
$(cat "$work/absent")"
  statistics=$(LC_ALL=C msgfmt --check --statistics -o /dev/null "$po" 2>&1) ||
    fail "$po does not pass msgfmt --check: $statistics"
  [[ $statistics =~ ^[0-9]+\ translated\ messages?\.$ ]] ||
    fail "$po is not complete: $statistics"
  grep -q '^"Plural-Forms: nplurals=[0-9]*; plural=[^"]*;\\n"$' "$po" ||
    fail "$po has no Plural-Forms of its own"
done
exit $failed
