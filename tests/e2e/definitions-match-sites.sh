#!/usr/bin/env bash
# Each definition in tests/fixtures/definitions that re-expresses a built-in site gives the same
# `search --pages` output as that site, all columns but the site's name; a definition that is not
# valid is named with its line, and `check` exits with 2.
# Usage: definitions-match-sites.sh SERVER_PROGRAM CLI_PROGRAM DEFINITIONS_FOLDER
set -euo pipefail
server_program=$1
cli=$2
definitions=$3
# shellcheck source=sample-server.sh
source "$(dirname "$0")/sample-server.sh"

# Melodies are printed as their pages are read, in any order: one record per melody, its site's
# name left out, sorted.
records() {
  awk -F'\t' '$1 != "" { if (r != "") print r; $1 = ""; r = $0; next } { r = r " |" $0 }
              END { if (r != "") print r }' | sort
}

for pair in "tune-request:Tune Request" "poly-catalog:Poly Catalogue" \
            "tone-library:Tone Library" "tone-uploads:Tone Uploads"; do
  file=$definitions/${pair%%:*}.yaml
  site=${pair#*:}
  "$cli" search --site "$site" --pages love | records >"$work/built-in"
  "$cli" search --definition "$file" --pages love | records >"$work/definition"
  [[ $(wc -l <"$work/built-in") -gt 5 ]] || fail "$site found too little"
  diff "$work/built-in" "$work/definition" >"$work/diff" || fail "$file differs: $(head "$work/diff")"
done

printf 'name: Broken\nhome: http://x.test/\nsearch:\n  adress: x\n' >"$work/broken.yaml"
status=0
"$cli" check "$work/broken.yaml" 2>"$work/errors" || status=$?
[[ $status == 2 ]] || fail "check of a broken file exits with $status"
grep -qx "$work/broken.yaml:4: unknown key 'adress' in search" "$work/errors" ||
  fail "check names no line: $(cat "$work/errors")"
"$cli" check "$definitions/tone-library.yaml" love >"$work/steps" || fail "check with a term failed"
[[ $(head -n1 "$work/steps") == "Tone Library by definition" ]] || fail "check printed no name"
grep -q '^fetch http://tonelibrary.example/tone.php' "$work/steps" || fail "no melody page step"
grep -q "^  link 1: 'MIDI' http://tonelibrary.example/files/mid/" "$work/steps" ||
  fail "no file step: $(tail -n5 "$work/steps")"
# The user's definitions follow the seven sites, ordered by name among the shipped ones, each
# with its file; a broken one is named on stderr and left out.
mkdir -p "$XDG_DATA_HOME/Chimequest/Sites"
cp "$definitions/tune-request.yaml" "$work/broken.yaml" "$XDG_DATA_HOME/Chimequest/Sites/"
"$cli" sites >"$work/sites" 2>"$work/errors" || fail "sites failed"
[[ $(sed -n 9p "$work/sites") == "Tune Request by definition"$'\t'"http://tunerequest.example/"$'\t'"$XDG_DATA_HOME/Chimequest/Sites/tune-request.yaml" ]] ||
  fail "no definition site after the seven: $(cat "$work/sites")"
[[ $(wc -l <"$work/sites") == 9 ]] || fail "a broken definition is listed"
grep -q "broken.yaml:4: unknown key 'adress' in search" "$work/errors" || fail "broken file not named"
echo "ok"
