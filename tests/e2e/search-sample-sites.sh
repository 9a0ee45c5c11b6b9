#!/usr/bin/env bash
# Searches all eight sample sites (the seven built-in ones and the shipped definition of the
# eighth) through the command-line tool, melody pages included, and checks that every site finds
# melodies and every melody comes with its files.
# Usage: search-sample-sites.sh SERVER_PROGRAM CLI_PROGRAM
set -euo pipefail
server_program=$1
cli=$2
# shellcheck source=sample-server.sh
source "$(dirname "$0")/sample-server.sh"

"$cli" sites >"$work/sites"
[[ $(wc -l <"$work/sites") == 8 && $(sed -n 8p "$work/sites") == "Ring Shelf"$'\t'* ]] ||
  fail "expected seven sites and the shipped definition: $(cat "$work/sites")"

# Without --pages: every site finds melodies.
"$cli" search love >"$work/plain" || fail "search failed"
while IFS=$'\t' read -r name _; do
  grep -q "^$name"$'\t' "$work/plain" || fail "$name found nothing"
done <"$work/sites"

# With --pages: every page reads (exit status 0) and every melody has a file.
"$cli" search --pages love >"$work/pages" 2>"$work/errors" || fail "a page failed: $(cat "$work/errors")"
awk -F'\t' '
  $1 != "" { if (title != "" && links == 0) { print "no files: " title; bad = 1 } title = $0; links = 0; melodies++; next }
  { links++ }
  END { if (title != "" && links == 0) { print "no files: " title; bad = 1 }
        if (melodies < 300) { print "only " melodies " melodies"; bad = 1 }
        exit bad }' "$work/pages" || fail "melodies without files"
while IFS=$'\t' read -r name _; do
  grep -q "^$name"$'\t' "$work/pages" || fail "$name found nothing with --pages"
done <"$work/sites"

# A Cyrillic term ("ночь") reaches every site it is on; the melody command reads one page.
"$cli" search --pages "ночь" >"$work/cyrillic" || fail "Cyrillic search failed"
[[ -s $work/cyrillic ]] || fail "Cyrillic search found nothing"
page=$(awk -F'\t' '$1 == "Tune Request" { print $3; exit }' "$work/pages")
"$cli" melody "Tune Request" "$page" >"$work/melody" || fail "melody $page failed"
[[ -s $work/melody ]] || fail "melody $page printed no links"

echo "ok: $(grep -c -v $'^\t' "$work/pages") melodies, $(grep -c $'^\t' "$work/pages") files"
