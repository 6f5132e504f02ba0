#!/usr/bin/env bash
# Plays an installed game as its player would, under a virtual X server of
# its own, with keys sent through the X server: the menu appears, a game is
# played to a score (the speed-up earns points, then the locomotives are
# lost), a name is entered, the program is quit from the menu; started
# again, the menu shows the same list.
#
# usage: play_installed.sh GAME WORKDIR
# Runs as the user who plays; WORKDIR must be that user's to write. Uses
# $WORKDIR/home as HOME and $XDG_DATA_HOME when set (else $WORKDIR/data).
# Leaves the screenshots in WORKDIR and prints one line per step. Exit
# status 3 when only the last step fails: the list was not kept.
set -euo pipefail
game=$1
work=$2
export HOME="$work/home"
export XDG_DATA_HOME="${XDG_DATA_HOME:-$work/data}"
export SDL_AUDIODRIVER=dummy RANGIERTRUBEL_WINDOWED=1
mkdir -p "$HOME"

xvfb_pid=""
game_pid=""
cleanup() {
  [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [[ -s "$work/game.err" ]] && sed 's/^/  game: /' "$work/game.err" >&2
  exit 1
}

# The X server picks a free display and writes its number.
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  grep -q . "$work/display" && break
  sleep 0.1
done
display=$(head -n 1 "$work/display")
[[ -n "$display" ]] || fail "Xvfb did not start"
export DISPLAY=":$display"

# Holds a key long enough for the game's poll of the held keys (every 0.15 s).
press() { xdotool keydown "$1" sleep 0.25 keyup "$1"; }

window=""
start_game() {
  (cd "$HOME" && exec "$game") 2>>"$work/game.err" &
  game_pid=$!
  window=$(timeout 15 xdotool search --sync --onlyvisible --name '^rangiertrubel$' | head -n 1) ||
    true
  [[ -n "$window" ]] || fail "no window"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
}

# Pixels of the menu's text colour where "SPIEL STARTEN" stands, in a
# screenshot of the window.
menu_text_pixels() {
  timeout 5 import -window "$window" "$work/shot.png" 2>/dev/null || return 1
  convert "$work/shot.png" -crop 130x24+300+456 txt:- | grep -ci 'FFFF38'
}
wait_for_menu() {
  local end=$((SECONDS + 20))
  while ((SECONDS < end)); do
    local n
    n=$(menu_text_pixels) || n=0
    if ((n > 100)); then
      sleep 0.5  # the list is printed with the items
      timeout 5 import -window "$window" "$work/$1.png" || fail "no screenshot"
      # The rows of the list of best scores, between the logo and the items.
      convert "$work/$1.png" -crop 800x170+0+245 +repage "$work/$1-list.png"
      return 0
    fi
    sleep 0.2
  done
  fail "the menu did not appear ($1)"
}
same_picture() { compare -metric AE "$1" "$2" null: 2>/dev/null; }

wait_for_end() {
  for _ in $(seq 100); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      local status=0
      wait "$game_pid" || status=$?
      game_pid=""
      [[ $status -eq 0 ]] || fail "the game ended with status $status"
      return 0
    fi
    sleep 0.1
  done
  fail "the game did not end from the menu"
}

start_game
wait_for_menu menu-first
echo "the menu appears"
# (Into a file first: grep -q would end the pipe before xprop is done.)
xprop -id "$window" _NET_WM_ICON >"$work/icon.txt" || true
grep -q 'Icon (64 x 64)' "$work/icon.txt" || fail "the window has no icon"
echo "the window shows the game's icon"

# SPIEL STARTEN; level 1's picture builds up. The first locomotive runs with
# the speed-up and earns its points until it crashes; the other two are
# given up with Escape.
press Return
sleep 6
press x
sleep 0.3
press space
sleep 8
for _ in 1 2; do
  press x
  sleep 0.3
  press Escape
  sleep 8
done
xdotool type --delay 120 PAKET
press Return
wait_for_menu menu-entered
! same_picture "$work/menu-first-list.png" "$work/menu-entered-list.png" ||
  fail "the list did not change after the name was entered"
echo "a score is entered"

# SPIEL BEENDEN
press Down
sleep 0.3
press Return
wait_for_end
echo "the game ends from the menu"

start_game
wait_for_menu menu-again
kept=1
same_picture "$work/menu-entered-list.png" "$work/menu-again-list.png" || kept=0
press Down
sleep 0.3
press Return
wait_for_end
if ((kept)); then
  echo "after a restart the list shows the entry"
else
  echo "after a restart the list differs from the one entered" >&2
  exit 3
fi
