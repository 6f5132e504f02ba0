#!/usr/bin/env bash
# The Debian package as a packager and a player meet it: lintian finds no
# error, SDL2 is among the dependencies, the desktop entry and the AppStream
# metadata pass their validators, and the game, unpacked into a read-only
# tree, is played by an unprivileged user: the menu appears, a score entered
# lands in $XDG_DATA_HOME/rangiertrubel/High.dat, and after a restart the
# list still shows it.
#
# usage: package_test.sh DEB
set -euo pipefail
deb=$(realpath "$1")
here=$(dirname "$(realpath "$0")")

for tool in lintian desktop-file-validate appstreamcli dpkg-deb Xvfb xdotool import; do
  command -v "$tool" >/dev/null || {
    echo "FAIL: $tool is not installed (scripts/setup.sh installs it)" >&2
    exit 1
  }
done

work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# --- The package itself ----------------------------------------------------------
lintian_status=0
lintian --fail-on error "$deb" >"$work/lintian.out" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$work/lintian.out" || true
((lintian_status == 0)) || fail "lintian reports errors"
echo "lintian: no errors"
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" =~ libsdl2-2\.0-0 ]] || fail "no dependency on SDL2's runtime: $depends"
echo "depends: $depends"

dpkg-deb -x "$deb" "$work/root"
app_id=$(cd "$work/root/usr/share/metainfo" && ls -- *.metainfo.xml)
app_id=${app_id%.metainfo.xml}
desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "appstreamcli validate"
# The program the desktop entry and its actions start: one, in the package.
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$work/root/usr/share/applications/$app_id.desktop" |
  sort -u)
[[ "$exec_name" == rangiertrubel ]] || fail "the desktop entry starts \"$exec_name\", not the game"
game=$(find "$work/root/usr" -path "*/$exec_name" -type f -perm -u+x | head -n 1)
[[ -n "$game" ]] || fail "the desktop entry's program $exec_name is not in the package"
[[ -f "$work/root/usr/share/doc/rangiertrubel/copyright" ]] || fail "no copyright file"
if dpkg-deb -c "$deb" | grep -E 'High\.dat|soak|make_sprites|make_sounds|_test'; then
  fail "the package holds files that are not the game's"
fi

# --- Played from a read-only tree by an unprivileged user --------------------------
chmod -R a-w "$work/root"
player_dir="$work/player"
mkdir -p "$player_dir"
as_player=()
if [[ $(id -u) -eq 0 ]]; then
  chown nobody:nogroup "$player_dir"
  as_player=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
status=0
"${as_player[@]}" env -i PATH=/usr/bin:/bin XDG_DATA_HOME="$player_dir/data" \
  "$here/play_installed.sh" "$game" "$player_dir" || status=$?
((status != 3)) || fail "after a restart the menu did not show the list entered"
((status == 0)) || fail "playing the installed game"

scores="$player_dir/data/rangiertrubel/High.dat"
[[ -f "$scores" ]] && grep -q '"PAKET"' "$scores" ||
  fail "the score is not in \$XDG_DATA_HOME/rangiertrubel/High.dat"
echo "the score is kept in \$XDG_DATA_HOME/rangiertrubel/High.dat"
echo "ok: the Debian package"
