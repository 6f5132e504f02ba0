#!/usr/bin/env bash
# cmake --install into a fresh prefix: exactly the installed layout, the
# desktop entry and AppStream metadata pass their validators, the manual
# pages format without warnings, and the game runs from the prefix, from a
# moved copy of it and through a link, finding its data each time.
#
# usage: install_layout_test.sh BUILD_DIR APP_ID
# Exit status 77 (skipped) when a checking tool is missing.
set -euo pipefail
build=$1
app_id=$2

for tool in desktop-file-validate appstreamcli groff; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d)
planted=""
cleanup() {
  [[ -n "$planted" ]] && rm -f "$planted"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A list of best scores in the build's Data folder, as after playing the
# build: it must not be installed.
if [[ ! -e "$build/bin/Data/High.dat" ]]; then
  planted="$build/bin/Data/High.dat"
  printf '"BUILD"\r\n100\r\n' >"$planted"
fi

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
  cat "$work/install.log"
  fail "cmake --install failed"
}

# --- The layout: these files and nothing else ---------------------------------
{
  for p in rangiertrubel rangiertrubel-levels rangiertrubel-sim; do echo "bin/$p"; done
  echo "share/applications/$app_id.desktop"
  echo "share/metainfo/$app_id.metainfo.xml"
  for s in 16 32 48 64 128 256; do echo "share/icons/hicolor/${s}x$s/apps/$app_id.png"; done
  for p in rangiertrubel rangiertrubel-levels rangiertrubel-sim; do echo "share/man/man6/$p.6.gz"; done
  echo share/doc/rangiertrubel/LICENSE
  echo share/doc/rangiertrubel/README.md
  echo share/doc/rangiertrubel/HACKING.md
  echo share/doc/rangiertrubel/docs/fuzzing.md
  echo share/doc/rangiertrubel/docs/screenshots/editor-desktop.png
  echo share/doc/rangiertrubel/docs/screenshots/editor-phone-landscape.png
  echo share/doc/rangiertrubel/docs/screenshots/editor-phone.png
  echo share/doc/rangiertrubel/docs/screenshots/level1.png
  echo share/doc/rangiertrubel/docs/screenshots/menu.png
  for n in 01 02 03 04 05 06 07 08 09 10; do echo "share/rangiertrubel/Data/lev$n.dat"; done
  for f in "$build"/bin/Sprites/*.bmp; do echo "share/rangiertrubel/Sprites/${f##*/}"; done
  for f in "$build"/bin/Waves/*.wav; do echo "share/rangiertrubel/Waves/${f##*/}"; done
} | sort >"$work/expected"
(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/found"
if ! diff -u "$work/expected" "$work/found"; then
  fail "the installed files differ from the layout (- missing, + unexpected)"
fi
# Every link of the installed documents to a file of its own leads to an
# installed file.
for doc in "$prefix"/share/doc/rangiertrubel/{README,HACKING}.md; do
  while IFS= read -r target; do
    [[ -f "$(dirname "$doc")/$target" ]] || fail "${doc##*/} links to $target, which is not installed"
  done < <(grep -o '](\([^)#:]*\))' "$doc" | sed 's/^](\(.*\))$/\1/')
done
[[ $(ls "$build"/bin/Sprites/*.bmp | wc -l) -ge 24 ]] || fail "fewer than 24 pictures"
[[ $(ls "$build"/bin/Waves/*.wav | wc -l) -ge 4 ]] || fail "fewer than 4 sounds"
for p in rangiertrubel rangiertrubel-levels rangiertrubel-sim; do
  [[ -x "$prefix/bin/$p" ]] || fail "bin/$p is not executable"
done

# Each icon is a PNG file of its size (the IHDR chunk's width and height).
for s in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${s}x$s/apps/$app_id.png"
  header=$(od -An -tx1 -N24 "$icon" | tr -d ' \n')
  [[ ${header:0:16} == 89504e470d0a1a0a ]] || fail "$icon is not a PNG file"
  [[ $((16#${header:32:8})) -eq $s && $((16#${header:40:8})) -eq $s ]] ||
    fail "$icon is not ${s}x$s"
done

# --- Validators and manual pages -----------------------------------------------
desktop-file-validate "$prefix/share/applications/$app_id.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" ||
  fail "appstreamcli validate"
grep -q "^Icon=$app_id\$" "$prefix/share/applications/$app_id.desktop" ||
  fail "the desktop entry does not name the icon $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
  "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "the metadata does not launch $app_id"
for page in "$prefix"/share/man/man6/*.6.gz; do
  warnings=$(zcat "$page" | LC_ALL=C.UTF-8 groff -man -ww -z -K utf8 2>&1)
  [[ -z "$warnings" ]] || fail "${page##*/}: $warnings"
done
page=$(zcat "$prefix/share/man/man6/rangiertrubel.6.gz")
for option in --fullscreen --windowed --integer-scale --help --version XDG_DATA_HOME High.dat; do
  grep -q -- "${option//-/\\\\-}" <<<"$page" ||
    fail "the manual page does not mention $option"
done

# --- The installed programs run and find their data ------------------------------
empty="$work/empty"
mkdir -p "$empty"
# Starts the game from the empty folder with SDL's dummy drivers, ends it
# after two seconds and prints the lines about missing data folders it wrote
# on standard error.
missing_folders() {
  (cd "$empty" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 2 "$1" 2>&1 >/dev/null) |
    grep 'Ordner' || true
}
found=$(missing_folders "$prefix/bin/rangiertrubel")
[[ -z "$found" ]] || fail "the installed game did not find its data: $found"
mv "$prefix" "$work/moved"
found=$(missing_folders "$work/moved/bin/rangiertrubel")
[[ -z "$found" ]] || fail "the moved prefix lost its data: $found"
mkdir -p "$work/links"
ln -s "$work/moved/bin/rangiertrubel" "$work/links/rangiertrubel"
found=$(missing_folders "$work/links/rangiertrubel")
[[ -z "$found" ]] || fail "a link to the game lost its data: $found"
# And the check itself sees a game without data: the program alone.
cp "$work/moved/bin/rangiertrubel" "$work/links/alone"
found=$(missing_folders "$work/links/alone")
[[ "$found" == *Sprites* ]] || fail "a game without data did not say so"

"$work/moved/bin/rangiertrubel-levels" check "$work"/moved/share/rangiertrubel/Data/lev*.dat \
  >/dev/null || fail "rangiertrubel-levels check on the installed levels"
status=0
printf '0.5 state\n0.6 end\n' |
  "$work/moved/bin/rangiertrubel-sim" --dir "$work/moved/share/rangiertrubel" - \
    >"$work/sim.out" || status=$?
[[ $status -eq 3 ]] && grep -q '"GameState"' "$work/sim.out" ||
  fail "rangiertrubel-sim on the installed data (status $status)"
echo "ok: the installed layout, its validators and the installed programs"
