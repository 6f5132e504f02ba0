#!/usr/bin/env bash
# Makes the README's screenshots with the scripted runner: the menu, and
# level 1 shortly after it has started. Needs a build (default build/release)
# and ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/release/bin}
out=docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$bin/Data" "$bin/Sprites" "$bin/Waves" "$work/"
rm -f "$work/Data/High.dat"
cat > "$work/shots.sim" <<'SCRIPT'
# The menu as it first appears.
0.40 shot menu.bmp
0.50 tap Enter
# Level 1 a few seconds after its start, the first slide made.
3.80 tap X
4.50 press Up
4.62 release Up
9.30 shot level1.bmp
9.40 end
SCRIPT
(cd "$work" && "$OLDPWD/$bin/rangiertrubel-sim" --dir . shots.sim > /dev/null) || [[ $? -eq 3 ]]
convert "$work/menu.bmp" -alpha off "$out/menu.png"
convert "$work/level1.bmp" -alpha off "$out/level1.png"
echo "wrote $out/menu.png and $out/level1.png"
