#!/usr/bin/env bash
# Checks of the benchmark's helpers and of the game's frame trace.
#
#   bench/selftest.sh            the helpers, then the trace of a built game
#
# The trace checks start the program built in BENCH_BUILD_DIR (default
# build/release) on a virtual X display; they are skipped, and said so, when
# it or Xvfb/xdotool is missing. Exit status 0 when every check passes.
# "check && pass || fail" is an if-then-else here: pass cannot fail.
# shellcheck disable=SC2015
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(cd "$here/.." && pwd)"
# shellcheck source=bench/lib.sh
. "$here/lib.sh"

passed=0
failed=0
group=""
begin() { group="$1"; }
pass() { passed=$((passed + 1)); }
fail() {
  failed=$((failed + 1))
  echo "FAIL [$group] $*" >&2
}
# expect WANT COMMAND...: the command succeeds and prints WANT.
expect() {
  local want="$1" got
  shift
  if got="$("$@")"; then
    [ "$got" = "$want" ] && pass || fail "$*: wanted '$want', got '$got'"
  else
    fail "$*: failed, wanted '$want'"
  fi
}
# refuse COMMAND...: the command fails.
refuse() {
  if "$@" >/dev/null 2>&1; then fail "$*: should have failed"; else pass; fi
}
# expect_in WANT FUNCTION INPUT [ARGS...]: the function reads INPUT.
expect_in() {
  local want="$1" fn="$2" input="$3" got
  shift 3
  if got="$("$fn" "$@" <<<"$input")"; then
    [ "$got" = "$want" ] && pass || fail "$fn $*: wanted '$want', got '$got'"
  else
    fail "$fn $*: failed, wanted '$want'"
  fi
}
refuse_in() {
  local fn="$1" input="$2"
  shift 2
  if "$fn" "$@" <<<"$input" >/dev/null 2>&1; then fail "$fn $*: should have failed"; else pass; fi
}

# --- Medians ---------------------------------------------------------------
begin median
expect 2 bench_median 3 1 2
expect 2.5 bench_median 4 1 3 2
expect 7 bench_median 7
expect 10 bench_median 9 10 100        # numeric order, not text order
expect 0.25 bench_median 0.3 0.2 0.25
expect -1 bench_median -1 -2 5
refuse bench_median
refuse bench_median 1 x 3
refuse bench_median 1 ""

# --- Processor ticks from /proc/PID/stat -------------------------------------
begin stat
stat_line='4242 (rangiertrubel) S 1 4242 4242 0 -1 4194560 1234 0 0 0 17 5 0 0 20 0 4 0 99 0'
expect_in 22 bench_stat_ticks "$stat_line"
# A process name with spaces and parentheses does not shift the fields.
expect_in 22 bench_stat_ticks "${stat_line/(rangiertrubel)/(a) b (c)}"
expect_in 0 bench_stat_ticks '1 (x) R 0 0 0 0 -1 0 0 0 0 0 0 0 0 0'
refuse_in bench_stat_ticks '4242 (rangiertrubel) S 1 4242'
refuse_in bench_stat_ticks 'no parenthesis here 1 2 3 4 5 6 7 8 9 10 11 12 13'
refuse_in bench_stat_ticks '1 (x) R 0 0 0 0 -1 0 0 0 0 0 a b 0 0'
refuse_in bench_stat_ticks ''
refuse bench_process_ticks 999999999
[[ "$(bench_process_ticks "$$")" =~ ^[0-9]+$ ]] && pass || fail "no ticks of this shell"

# --- Percentages and memory --------------------------------------------------
begin percent
expect 5.00 bench_cpu_percent 50 100 10
expect 100.00 bench_cpu_percent 250 100 2.5
expect 0.00 bench_cpu_percent 0 100 10
expect 0.33 bench_cpu_percent 1 100 3
refuse bench_cpu_percent 5 100 0
refuse bench_cpu_percent 5 0 10
refuse bench_cpu_percent -1 100 10
begin memory
two_threads=$'Name:\tx\nPid:\t7\nvoluntary_ctxt_switches:\t10\nnonvoluntary_ctxt_switches:\t2\nName:\ty\nPid:\t9\nvoluntary_ctxt_switches:\t5\nnonvoluntary_ctxt_switches:\t0'
expect_in $'7 12\n9 5' bench_switches_in "$two_threads"
refuse_in bench_switches_in $'Name:\tx\nVmRSS:\t 1 kB'
refuse_in bench_switches_in $'Pid:\t3\nvoluntary_ctxt_switches:\tmany'
[[ "$(bench_process_switches "$$")" =~ ^$$\ [0-9]+$ ]] && pass || fail "no switches of this shell"
refuse bench_process_switches 999999999
scratch="$(mktemp -d "${TMPDIR:-/tmp}/rt-bench-self.XXXXXX")"
printf '7 12\n9 5\n' >"$scratch/before"
printf '7 20\n11 4\n' >"$scratch/after"
expect 12 bench_switches_between "$scratch/before" "$scratch/after"
rm -rf "$scratch"
expect 3.0 bench_per_second 30 10
expect 0.3 bench_per_second 1 3
refuse bench_per_second 5 0

expect_in 20480 bench_peak_kb $'Name:\trangiertrubel\nVmPeak:\t  99999 kB\nVmHWM:\t   20480 kB\nVmRSS:\t 1 kB'
refuse_in bench_peak_kb $'Name:\tx\nVmRSS:\t 1 kB'

# --- The frame trace ---------------------------------------------------------
begin trace
trace=$'rangiertrubel: frame 1 at 100.000000\nrangiertrubel: frame 2 at 100.010000
some other message\nrangiertrubel: frame 3 at 100.250000\nrangiertrubel: frame 4 at 102.000000'
expect_in 100.250000 bench_menu_frame "$trace" 0.5
expect_in 100.010000 bench_menu_frame "$trace" 0.2
expect_in 102.000000 bench_menu_frame "$trace" 5
# A gap of exactly the quiet time still belongs to the burst.
expect_in 100.500000 bench_menu_frame $'rangiertrubel: frame 1 at 100.0\nrangiertrubel: frame 2 at 100.5' 0.5
# Lines that only look like frames are skipped.
expect_in 7.000000 bench_menu_frame $'rangiertrubel: frame x at 1.0\nrangiertrubel: frame 1 at 7\nrangiertrubel: frame 2 at soon' 0.5
refuse_in bench_menu_frame 'rangiertrubel: Ordner "Waves" fehlt in /tmp' 0.5
refuse_in bench_menu_frame '' 0.5
expect_in 4 bench_frame_count "$trace"
expect_in 0 bench_frame_count ''
expect 39.6 bench_ms_between 1000.0000 1000.0396
expect 250.0 bench_ms_between 1796622449.175982 1796622449.425982

# --- The runner's output -----------------------------------------------------
begin sim
sim_out=$'{"t": 0.500000, "sound": "ping.wav"}\n{"t": 53.103100, "GameState": 0, "board": [[1]]}\n{"t": 53.203570, "stopped": true}'
expect_in 53.203570 bench_sim_end "$sim_out"
expect_in 12.000000 bench_sim_end '{"t":12, "exit": 0}'
refuse_in bench_sim_end 'script line 3: unknown verb'
refuse_in bench_sim_end ''
expect_in 65.500000 bench_sim_end_sum $'{"t": 53.2, "stopped": true}\n{"t": 12.3, "stopped": true}'
refuse_in bench_sim_end_sum ''
expect 300 bench_ratio 600 2
expect 6640 bench_ratio 664 0.1
refuse bench_ratio 600 0

# --- Budgets at their edges --------------------------------------------------
begin budget
expect ok bench_verdict 1 le 1
expect MISSED bench_verdict 1.01 le 1
expect ok bench_verdict 0.2 le 1
expect ok bench_verdict 99.9 lt 100
expect MISSED bench_verdict 100 lt 100
expect ok bench_verdict 300 ge 300
expect MISSED bench_verdict 299.5 ge 300
refuse bench_verdict 1 eq 1
expect '<= 60 MB' bench_budget_text le 60 MB
expect '>= 300 virtual s/s' bench_budget_text ge 300 'virtual s/s'
refuse bench_budget_text ne 1 x
begin display
if n="$(bench_free_display 141)"; then
  [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ] && [ "$n" -ge 141 ] && pass ||
    fail "display $n is taken"
else
  fail "no free display found"
fi

# --- The game's trace on a virtual display ------------------------------------
build_dir="${BENCH_BUILD_DIR:-$source_dir/build/release}"
case "$build_dir" in /*) ;; *) build_dir="$PWD/$build_dir" ;; esac
game="$build_dir/bin/rangiertrubel"
if [ ! -x "$game" ] || ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "selftest: skipped the trace checks (no $game, Xvfb or xdotool)" >&2
else
  work="$(mktemp -d "${TMPDIR:-/tmp}/rt-bench-test.XXXXXX")"
  xvfb_pid=""
  game_pid=""
  cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
  }
  trap cleanup EXIT
  for d in Data Sprites Waves; do cp -r "$build_dir/bin/$d" "$work/"; done
  rm -f "$work/Data/High.dat"
  display=":$(bench_free_display 151)"
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for ((i = 0; i < 100; i++)); do
    DISPLAY="$display" xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.05
  done
  export DISPLAY="$display" SDL_AUDIODRIVER=dummy RANGIERTRUBEL_WINDOWED=1

  # start_game TRACE: the game in the scratch folder, stderr to $work/err.
  start_game() {
    : >"$work/err"
    if [ "$1" = 1 ]; then
      (cd "$work" && RANGIERTRUBEL_TRACE=1 exec "$game" 2>"$work/err") &
    else
      (cd "$work" && unset RANGIERTRUBEL_TRACE && exec "$game" 2>"$work/err") &
    fi
    game_pid=$!
  }
  stop_game() {
    kill "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
    game_pid=""
  }
  focus_game() {
    local w
    for ((i = 0; i < 60; i++)); do
      w="$(xdotool search --limit 1 --pid "$game_pid" 2>/dev/null | head -n 1)"
      [ -n "$w" ] && break
      sleep 0.05
    done
    [ -n "$w" ] && xdotool windowfocus "$w"
  }
  frames() { bench_frame_count <"$work/err"; }

  begin "no trace"
  start_game 0
  sleep 1.5
  focus_game
  xdotool keydown Down
  sleep 0.2
  xdotool keyup Down
  sleep 0.5
  kill -0 "$game_pid" 2>/dev/null && pass || fail "the game did not run"
  stop_game
  [ ! -s "$work/err" ] && pass || fail "stderr without the variable: $(head -c 200 "$work/err")"

  begin trace
  launched="$EPOCHREALTIME"
  start_game 1
  sleep 1.5
  focus_game
  sleep 0.7
  settled="$(frames)"
  [ "$settled" -ge 1 ] && pass || fail "no frame presented at start"
  # Numbered 1, 2, 3 ... with time stamps that never go back and come after
  # the launch.
  awk -v t0="$launched" '$2 == "frame" {
      if ($3 != ++n || $5 < last || $5 < t0) bad = 1; last = $5 }
    END { exit bad || !n }' "$work/err" && pass || fail "frames out of order: $(head -3 "$work/err")"
  startup="$(bench_ms_between "$launched" "$(bench_menu_frame 0.5 <"$work/err")")"
  awk -v ms="$startup" 'BEGIN { exit !(ms > 0 && ms < 5000) }' && pass ||
    fail "start-up of $startup ms"

  begin "picture"
  # The window shows the game's screen pixel for pixel: the same menu, shot
  # by rangiertrubel-sim from the same folder, differs in no pixel.
  sim="$build_dir/bin/rangiertrubel-sim"
  if [ -x "$sim" ] && command -v import >/dev/null && command -v compare >/dev/null; then
    printf '2.0 shot %s\n2.1 end\n' "$work/menu.bmp" | "$sim" --dir "$work" - >/dev/null
    window="$(xdotool search --limit 1 --pid "$game_pid" | head -n 1)"
    import -window "$window" "$work/window.png" 2>/dev/null
    convert "$work/menu.bmp" -alpha off "$work/menu.png"
    differing="$(compare -metric AE "$work/menu.png" "$work/window.png" null: 2>&1)"
    [ "$differing" = 0 ] && pass || fail "$differing pixels differ from the game's screen"
  else
    echo "selftest: skipped the picture check (no rangiertrubel-sim or ImageMagick)" >&2
  fi

  begin "idle refresh"
  # The finished menu shows nothing new: no frame is presented.
  sleep 1
  [ "$(frames)" = "$settled" ] && pass || fail "frames while idle: $settled -> $(frames)"
  # A key moves the pointer: the change is shown at once, although the
  # refresh was idle, and then it is idle again.
  # The key is held longer than the test allows for the change to show, so
  # that its release cannot be what wakes the refresh.
  pressed="$EPOCHREALTIME"
  xdotool keydown Down
  sleep 0.45
  xdotool keyup Down
  sleep 0.3
  after_key="$(frames)"
  [ "$after_key" -gt "$settled" ] && pass || fail "no frame after the key"
  first_new="$(awk -v n="$settled" '$2 == "frame" && $3 == n + 1 { print $5 }' "$work/err")"
  awk -v a="$pressed" -v b="${first_new:-0}" 'BEGIN { exit !(b > a && b - a < 0.2) }' && pass ||
    fail "the moved pointer came $(bench_ms_between "$pressed" "${first_new:-0}") ms after the key"
  sleep 1
  [ "$(frames)" = "$after_key" ] && pass || fail "frames went on after the pointer moved"

  begin "end"
  # "SPIEL BEENDEN" is now chosen: Enter ends the program, promptly.
  xdotool keydown Return
  ended=""
  for ((i = 0; i < 40; i++)); do
    sleep 0.05
    if ! kill -0 "$game_pid" 2>/dev/null; then ended=1; break; fi
  done
  xdotool keyup Return
  [ -n "$ended" ] && pass || fail "the game did not end within 2 s"
  status=0
  wait "$game_pid" 2>/dev/null || status=$?
  game_pid=""
  [ "$status" = 0 ] && pass || fail "exit status $status"
  [ -f "$work/Data/High.dat" ] && pass || fail "the list of best scores was not saved"

  begin "play refresh"
  # During play the locomotive is redrawn at every poll of the keys (every
  # 0.15 s, so it blinks) while the refresh idles in between: each redraw
  # must still be shown at once, about 6.7 frames a second.
  start_game 1
  sleep 1.5
  focus_game
  for key in Return x; do
    xdotool keydown "$key"
    sleep 0.2
    xdotool keyup "$key"
    sleep 3.6
  done
  before="$(frames)"
  sleep 3
  shown=$(($(frames) - before))
  [ "$shown" -ge 16 ] && [ "$shown" -le 40 ] && pass || fail "$shown frames in 3 s of play"
  stop_game
fi

echo "selftest: $passed passed, $failed failed"
[ "$failed" = 0 ]
