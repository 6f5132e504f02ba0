#!/usr/bin/env bash
# Plays the packed Windows game under Wine on a virtual X display, as a new
# player would: the zip unpacked into a folder whose name has an umlaut and a
# blank, the program started from elsewhere; the menu must appear, a game is
# played to a high score, the name typed, "SPIEL BEENDEN" must end the program
# with status 0 and a Data\High.dat holding the name; after a restart the
# menu must show the list read back.
#
#   tests/windows/wine_game_test.sh ZIP BIN
#
# BIN holds the Windows build's rangiertrubel-sim.exe, which draws the frames
# the real program's window must show. Keys go through the X server with
# xdotool; pictures come from the root window (ImageMagick). Needs Wine,
# Xvfb, xdotool and ImageMagick; WINEPREFIX and a running wineserver come
# from the caller (scripts/windows.sh). Exit status 0 when every check holds.
set -euo pipefail

zip="$(realpath "$1")"
bin="$(realpath "$2")"
work="$(mktemp -d)"
game_pid=""
xvfb_pid=""
cleanup() {
  [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "wine_game_test: $*" >&2
  [[ -s "$work/game.log" ]] && sed 's/^/wine_game_test: the program said: /' "$work/game.log" >&2
  import -window root "$work/root.png" 2>/dev/null || true
  [[ -f "$work/root.png" ]] && cp "$work/root.png" "$bin/../wine_game_test_failure.png" &&
    echo "wine_game_test: last screen in $(realpath "$bin/..")/wine_game_test_failure.png" >&2
  exit 1
}

export WINEDEBUG=-all SDL_AUDIODRIVER=dummy

# --- The folder as a player unpacks it ------------------------------------------
folder="$work/Spiele für Jürgen"
mkdir -p "$folder"
(cd "$folder" && cmake -E tar xf "$zip")
game_dir="$(find "$folder" -mindepth 1 -maxdepth 1 -type d | head -n 1)"
for f in rangiertrubel.exe SDL2.dll LIESMICH.txt README.txt LICENSE.txt LICENSE-SDL2.txt \
         LICENSE-MinGW-w64.txt Data/lev01.dat Data/lev10.dat Sprites Waves; do
  [[ -e "$game_dir/$f" ]] || fail "the zip lacks $f"
done
[[ ! -e "$game_dir/Data/High.dat" ]] || fail "the zip ships a list of best scores"

# --- A display of our own ------------------------------------------------------------
Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"

# --- The frames the window must show, drawn by the runner --------------------------
# reference NAME FOLDER SCRIPT: the runner's last picture for SCRIPT (its
# lines, the last one "shot shot.bmp" and "end") with the data of FOLDER, as
# $work/NAME.png.
reference() {
  local copy="$work/sim-$1"
  rm -rf "$copy" && mkdir -p "$copy"
  cp -r "$2"/Data "$2"/Sprites "$2"/Waves "$copy"/
  printf '%b' "$3" >"$copy/script.txt"
  (cd "$copy" && wine "$bin/rangiertrubel-sim.exe" --dir . script.txt >/dev/null 2>&1) || true
  [[ -f "$copy/shot.bmp" ]] || fail "the runner drew no reference picture for $1"
  convert "$copy/shot.bmp" -alpha off "$work/$1.png"
}
menu_script='2.0 shot shot.bmp\n2.0 end\n'

# matches NAME X Y W H: the window shows the region of $work/NAME.png.
matches() {
  local name=$1 x=$2 y=$3 w=$4 h=$5
  import -window root "$work/root.png" 2>/dev/null || return 1
  convert "$work/root.png" -crop "${w}x${h}+$((left + x))+$((top + y))" +repage "$work/got.png"
  convert "$work/$name.png" -crop "${w}x${h}+${x}+${y}" +repage "$work/want.png"
  local differing
  differing="$(compare -metric AE "$work/got.png" "$work/want.png" null: 2>&1)" || true
  [[ "$differing" == "0" ]]
}

# wait_for NAME X Y W H SECONDS
wait_for() {
  local until=$((SECONDS + $6))
  while ((SECONDS < until)); do
    matches "$1" "$2" "$3" "$4" "$5" && return 0
    sleep 0.3
  done
  return 1
}

# hold KEY: down for a quarter of a second, as a player's press (the game
# looks at held keys at its own pace).
hold() { xdotool keydown "$1" sleep 0.25 keyup "$1" sleep 0.15; }

# Starts the program from a folder that is not its own; sets game_pid, the
# window's place (left, top).
start_game() {
  (cd "$work" && exec wine "$game_dir/rangiertrubel.exe" --windowed) \
    </dev/null >"$work/game.log" 2>&1 &
  game_pid=$!
  local window=""
  for _ in $(seq 150); do
    window="$(xdotool search --onlyvisible --name '^rangiertrubel$' 2>/dev/null | head -n 1)" || true
    [[ -n "$window" ]] && break
    sleep 0.2
  done
  [[ -n "$window" ]] || fail "no window within 30 s"
  eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y)=')"
  left=$X top=$Y
  # No window manager: the keyboard goes where the focus is put.
  xdotool windowfocus --sync "$window" 2>/dev/null || true
}

# Waits for the program's end; its status in `status`.
await_end() {
  for _ in $(seq 150); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$game_pid" 2>/dev/null && fail "the program did not end"
  status=0
  wait "$game_pid" || status=$?
  game_pid=""
}

# The title is the first thing drawn and never changes: rows 50..110.
reference menu "$game_dir" "$menu_script"

# --- First run: play to a high score -------------------------------------------------
start_game
wait_for menu 95 50 596 61 60 || fail "the title did not appear"
echo "wine_game_test: the menu is shown"
hold Return
# Space starts each level and speeds the locomotive up; with no slide it runs
# off the rails, three times. Then the name is asked for ("Namen bitte
# eingeben?" in the middle of the screen).
reference asks "$game_dir" \
  '0.5 tap Enter\n4.0 press Space\n26.0 release Space\n27.0 shot shot.bmp\n27.0 end\n'
asked=0
for _ in $(seq 40); do
  hold space
  if matches asks 250 300 300 20; then asked=1; break; fi
  sleep 0.8
done
((asked)) || fail "the name was not asked for"
echo "wine_game_test: a game was played to the name entry"
# Spaces typed while the question came up go again, then the name.
for _ in $(seq 20); do hold BackSpace; done
for key in w i n e; do hold "$key"; done
hold Return
sleep 1
hold Down
hold Return
await_end
[[ "$status" == "0" ]] || fail "SPIEL BEENDEN ended the program with status $status"
high="$game_dir/Data/High.dat"
[[ -f "$high" ]] || fail "no Data\\High.dat written"
grep -q '^"wine' "$high" || fail "the name is not in High.dat: $(head -c 200 "$high")"
score="$(sed -n 2p "$high" | tr -d '\r')"
((score > 0)) || fail "the score in High.dat is $score"
echo "wine_game_test: SPIEL BEENDEN ended with status 0; High.dat holds wine with $score points"

# --- Second run: the list read back ----------------------------------------------------
reference menu_after "$game_dir" "$menu_script"
start_game
# The title and the list of best scores (rows 50..400).
wait_for menu_after 0 50 800 350 60 || fail "the restarted program does not show the saved list"
echo "wine_game_test: after a restart the menu shows the saved list"
hold Down
hold Return
await_end
[[ "$status" == "0" ]] || fail "the second run ended with status $status"
echo "wine_game_test: passed"
