#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it into a clean folder, checks its
# metadata and layout, then runs what it installed: the program offscreen in a home of its own,
# and the command-line tool against the sample sites.
# Usage: deb-install.sh BUILD_DIR SOURCE_DIR VERSION SERVER_PROGRAM   (CQ_KEEP=1 keeps its folder)
set -euo pipefail
build=$1
source=$2
version=$3
server_program=$(realpath "$4")

work=$(mktemp -d)
program_pid=
server_pid=
stop() {
  for pid in $program_pid $server_pid; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
  done
  [[ -n ${CQ_KEEP:-} ]] && echo "kept $work" || rm -rf "$work"
}
trap stop EXIT

fail() { echo "FAIL: $*"; exit 1; }
check() { "$@" || fail "$*"; }

# --- The package, built from what is already built (install and pack only) ---
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/pkg/chimequest_*.deb)
[[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || fail "expected one package, found: $(ls "$work/pkg")"
deb=${debs[0]}

dpkg-deb -I "$deb" >"$work/info"
field() { sed -n "s/^ $1: //p" "$work/info"; }
[[ $(field Package) == chimequest ]] || fail "package name: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "version: $(field Version)"
[[ $(field Section) == sound ]] || fail "section: $(field Section)"
[[ $(field Maintainer) == *@* ]] || fail "maintainer: $(field Maintainer)"
depends=$(field Depends)
# Found by dpkg-shlibdeps in the programs' libraries, and the run-time parts it cannot see.
for package in libc6 libstdc++6 libcurl4 libqt6widgets6 libqt6multimedia6 libqt6network6 \
               gstreamer1.0-plugins-good gstreamer1.0-plugins-bad fluid-soundfont-gm \
               fonts-dejavu-core; do
  [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] ||
    fail "Depends lacks $package: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"

# --- Layout: exactly the programs and their language file, links in bin, no tools or tests ---
programs=$root/usr/lib/chimequest
expect_listing() {
  local folder=$1 expected=$2
  [[ $(ls -A "$folder" | tr '\n' ' ') == "$expected" ]] ||
    fail "$folder holds: $(ls -A "$folder" | tr '\n' ' ') (expected: $expected)"
}
expect_listing "$root/usr/bin" "chimequest chimequest-cli "
expect_listing "$programs" "Languages.ini chimequest chimequest-cli "
for program in chimequest chimequest-cli; do
  [[ -L $root/usr/bin/$program ]] || fail "usr/bin/$program is no link"
  [[ $(readlink "$root/usr/bin/$program") == ../lib/chimequest/$program ]] ||
    fail "usr/bin/$program links to $(readlink "$root/usr/bin/$program")"
  [[ -x $programs/$program && ! -L $programs/$program ]] || fail "$program is not executable"
done
check cmp -s "$source/data/Languages.ini" "$programs/Languages.ini"
docs=$root/usr/share/doc/chimequest
expect_listing "$docs" "changelog.gz copyright licence.en.html licence.ru.html notes.en.html notes.ru.html "
# The change log's latest entry is this version.
[[ $(gzip -dc "$docs/changelog.gz" | head -n1) == "chimequest ($version) "* ]] ||
  fail "the change log does not start with $version"
man=$root/usr/share/man/man1
expect_listing "$man" "chimequest-cli.1.gz chimequest.1.gz "
entry=$root/usr/share/applications/chimequest.desktop
[[ -f $entry ]] || fail "no desktop entry"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop entry does not validate"
fi
[[ $(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry") == chimequest ]] || fail "Exec is not chimequest"
[[ $(sed -n 's/^Icon=//p' "$entry") == chimequest ]] || fail "Icon is not chimequest"
# The AppStream metainfo: valid, launching that entry, naming this release.
metainfo=$root/usr/share/metainfo/example.chimequest.chimequest.metainfo.xml
[[ -f $metainfo ]] || fail "no AppStream metainfo"
appstreamcli validate --no-net "$metainfo" >"$work/appstream" 2>&1 ||
  { cat "$work/appstream"; fail "the AppStream metainfo does not validate"; }
grep -q '<launchable type="desktop-id">chimequest.desktop</launchable>' "$metainfo" ||
  fail "the metainfo launches no chimequest.desktop"
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$metainfo" ||
  fail "the metainfo's release is not $version"
# Each PNG is as large as its folder says (width and height from the PNG header).
icons=$root/usr/share/icons/hicolor
for size in 16 22 24 32 48 64 128 256; do
  png=$icons/${size}x${size}/apps/chimequest.png
  [[ -f $png ]] || fail "no ${size}px icon"
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
  [[ $(( (w1 << 24) | (w2 << 16) | (w3 << 8) | w4 )) == "$size" &&
     $(( (h1 << 24) | (h2 << 16) | (h3 << 8) | h4 )) == "$size" ]] || fail "$png is not $size px"
done
grep -q '<svg' "$icons/scalable/apps/chimequest.svg" || fail "no scalable icon"

# --- The installed program, offscreen, in a home of its own ---
home=$work/home
mkdir -p "$home/config/ZEQ" "$home/cache" "$home/data" "$home/tmp"
mkdir -m 700 "$home/runtime"
run_env=(env -i PATH="$PATH" HOME="$home" XDG_CONFIG_HOME="$home/config"
         XDG_CACHE_HOME="$home/cache" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime"
         TMPDIR="$home/tmp" QT_QPA_PLATFORM=offscreen http_proxy=http://127.0.0.1:9 no_proxy=)
# A settings store, so no first-start dialog waits for an answer, that picks a third language.
# The language file gets that section with a single text; applying the settings translates every
# window into it, and each text it lacks is written there. Texts appearing there show that the program found
# the language file beside itself through the link in bin, read the store in this home, and
# built its windows.
printf '[General]\nLanguage=2\n' >"$home/config/ZEQ/Chimequest.conf"
printf '[Probe]\r\nForms.MainForm=Chimequest\r\n' >>"$programs/Languages.ini"
"${run_env[@]}" "$root/usr/bin/chimequest" >"$work/program.log" 2>&1 &
program_pid=$!
probe_written() {
  sed -n '/^\[Probe\]/,$p' "$programs/Languages.ini" | grep -aq '^Forms.MainForm.SearchBtn=Search'
}
for _ in $(seq 200); do
  probe_written && break
  kill -0 "$program_pid" 2>/dev/null || { cat "$work/program.log"; fail "the program ended at start"; }
  sleep 0.1
done
probe_written || { cat "$work/program.log"; fail "the program translated no window"; }
[[ ! -e $root/usr/bin/Languages.ini ]] || fail "the program made a language file in bin"
# It stays up; a second start hands over to it and ends at once.
sleep 2
kill -0 "$program_pid" 2>/dev/null || { cat "$work/program.log"; fail "the program ended"; }
"${run_env[@]}" timeout 20 "$root/usr/bin/chimequest" >"$work/second.log" 2>&1 ||
  { cat "$work/second.log"; fail "the second start did not end by itself"; }
kill -0 "$program_pid" 2>/dev/null || fail "the second start ended the first"
kill -TERM "$program_pid"
status=0
wait "$program_pid" || status=$?
program_pid=
# Ended by the signal, or quit on it: anything else is a crash.
[[ $status == 0 || $status == 143 ]] || { cat "$work/program.log"; fail "exit status $status"; }

# --- The installed command-line tool against the sample sites ---
cli=$root/usr/bin/chimequest-cli
"${run_env[@]}" "$cli" --help >"$work/help" || fail "chimequest-cli --help"
grep -q '^  search ' "$work/help" || fail "--help lists no search: $(cat "$work/help")"
# The manual page describes every command the tool lists.
gzip -dc "$man/chimequest-cli.1.gz" >"$work/cli.1"
while read -r command _; do
  grep -Eq "^\.BR? $command( |\$)" "$work/cli.1" ||
    fail "the manual page lacks the command $command"
done < <(sed -n '/^Commands:/,/^$/p' "$work/help" | sed '1d;/^$/d')
"$server_program" --port 0 --waiting-share 0 >"$work/address" &
server_pid=$!
for _ in $(seq 100); do [[ -s $work/address ]] && break; sleep 0.1; done
address=$(head -n1 "$work/address")
[[ $address == http://127.0.0.1:* ]] || fail "server printed no address"
"${run_env[@]}" http_proxy="$address" "$cli" sites >"$work/sites" || fail "chimequest-cli sites"
[[ $(wc -l <"$work/sites") == 7 ]] || fail "expected seven sites: $(cat "$work/sites")"
"${run_env[@]}" http_proxy="$address" "$cli" search love >"$work/found" || fail "search failed"
while IFS=$'\t' read -r name _; do
  grep -q "^$name"$'\t' "$work/found" || fail "$name found nothing"
done <"$work/sites"
[[ ! -e $root/usr/bin/Languages.ini ]] || fail "the command-line tool made a language file in bin"

echo "ok: $(basename "$deb"), $(find "$root" -type f | wc -l) files, $(wc -l <"$work/found") melodies found by the installed tool"
