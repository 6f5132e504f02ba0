#!/usr/bin/env bash
# The benchmark: builds the release program and measures, each figure the
# median of several runs, the processor use and the wake-ups of the real game
# on a virtual X display in its phases, in a window and in full screen at
# 1920 x 1080, its start-up to the finished menu, its peak resident memory
# over a scripted session, the speed of rangiertrubel-sim over the ten
# level solutions, the start-up with a seed's levels against without, the
# time and memory rangiertrubel-levels takes to solve the ten shipped levels
# and to generate a seed's ten proven levels on one core (seeds 1 to 100), and
# the editor's verdict on each shipped level at its speed.
# Prints one table (Markdown) with the budgets.
#
#   bench/run.sh [--runs N] [--no-build]
#
# Environment: BENCH_BUILD_DIR (default build/release, the release preset's
# folder), BENCH_DISPLAY (default: the first free display from :141).
# Needs Xvfb and xdotool; the full-screen sessions run under openbox when it
# is installed. The exit status is 0 when every figure is within
# its budget, 1 when one misses it, 2 when the benchmark could not run.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(cd "$here/.." && pwd)"
# shellcheck source=bench/lib.sh
. "$here/lib.sh"

runs=3
build=1
while [ "$#" -gt 0 ]; do
  case "$1" in
    --runs)
      runs="${2:-}"
      shift 2 || true
      ;;
    --no-build) build=0; shift ;;
    -h | --help)
      sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
      exit 0
      ;;
    *)
      echo "bench: unknown argument $1" >&2
      exit 2
      ;;
  esac
done
if ! [[ "$runs" =~ ^[0-9]+$ ]] || [ "$runs" -lt 1 ] || [ "$runs" -gt 50 ]; then
  echo "bench: --runs needs a number from 1 to 50" >&2
  exit 2
fi

[ -n "${EPOCHREALTIME:-}" ] || { echo "bench: needs bash 5 or later" >&2; exit 2; }
for tool in Xvfb xdotool awk /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "bench: $tool is missing" >&2; exit 2; }
done

build_dir="${BENCH_BUILD_DIR:-$source_dir/build/release}"
log() { echo "bench: $*" >&2; }

# --- The release build -------------------------------------------------------
if [ "$build" = 1 ]; then
  log "building the release program in $build_dir"
  (cd "$source_dir" && cmake --preset release -B "$build_dir" >/dev/null &&
    cmake --build "$build_dir" --target rangiertrubel rangiertrubel-sim rangiertrubel-levels \
      -j2 >/dev/null)
fi
case "$build_dir" in /*) ;; *) build_dir="$PWD/$build_dir" ;; esac
bin="$build_dir/bin"
for f in rangiertrubel rangiertrubel-sim rangiertrubel-levels; do
  [ -x "$bin/$f" ] || { log "$bin/$f was not built"; exit 2; }
done

# --- A scratch folder, the X display, and cleaning up ------------------------
work="$(mktemp -d "${TMPDIR:-/tmp}/rt-bench.XXXXXX")"
xvfb_pid=""
xvfb_full_pid=""
wm_pid=""
game_pid=""
# shellcheck disable=SC2317  # called by the trap
cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  fi
  local pid
  for pid in "$wm_pid" "$xvfb_pid" "$xvfb_full_pid"; do
    if [ -n "$pid" ]; then
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' INT TERM

# The game plays in a copy of its data, so that no list of best scores of the
# build folder is touched.
mkdir -p "$work/game"
for d in Data Sprites Waves; do
  [ -d "$bin/$d" ] || { log "$bin/$d is missing"; exit 2; }
  cp -r "$bin/$d" "$work/game/"
done
rm -f "$work/game/Data/High.dat"

# Starts an X server of SIZE on DISPLAY and waits for it; prints its pid.
start_xvfb() {
  local display="$1" size="$2" pid
  Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >"$work/xvfb${display#:}.log" 2>&1 &
  pid=$!
  for ((i = 0; i < 100; i++)); do
    DISPLAY="$display" xdotool getdisplaygeometry >/dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null || { log "Xvfb did not start on $display"; return 1; }
    sleep 0.05
  done
  echo "$pid"
}

display="${BENCH_DISPLAY:-}"
if [ -z "$display" ]; then
  display=":$(bench_free_display 141)" || { log "no free X display"; exit 2; }
fi
xvfb_pid="$(start_xvfb "$display" 1024x768)" || exit 2
full_display=":$(bench_free_display "$((${display#:} + 1))")" || { log "no free X display"; exit 2; }
xvfb_full_pid="$(start_xvfb "$full_display" 1920x1080)" || exit 2
# Full screen is played on a desktop, with a window manager: without one,
# SDL waits 100 ms for an answer to its full-screen request that never comes.
if command -v openbox >/dev/null; then
  DISPLAY="$full_display" openbox >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  sleep 0.5
else
  log "openbox is missing: full screen without a window manager"
fi
export SDL_AUDIODRIVER=dummy
unset RANGIERTRUBEL_WINDOWED

hz="$(getconf CLK_TCK)"
# Processor use of the game over SECONDS from now, in % of one core, and its
# threads' wake-ups per second. The threads are read every 0.1 s, so that
# one that ends (the sound device's, closed when silent) loses little.
cpu_over() {
  local seconds="$1" t0 t1 a b elapsed wakes=0 step
  a="$(bench_process_ticks "$game_pid")" || return 1
  bench_process_switches "$game_pid" >"$work/switches.before" || return 1
  t0="$EPOCHREALTIME"
  for ((step = 0; step < $(awk -v s="$seconds" 'BEGIN { printf "%d", s * 10 }'); step++)); do
    sleep 0.1
    bench_process_switches "$game_pid" >"$work/switches.after" || return 1
    wakes=$((wakes + $(bench_switches_between "$work/switches.before" "$work/switches.after")))
    mv "$work/switches.after" "$work/switches.before"
  done
  b="$(bench_process_ticks "$game_pid")" || return 1
  t1="$EPOCHREALTIME"
  elapsed="$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')"
  echo "$(bench_cpu_percent "$((b - a))" "$hz" "$elapsed") $(bench_per_second "$wakes" "$elapsed")"
}

# A key held as long as a player's quick press, longer than the game's
# 0.15 s poll of the held keys.
tap() {
  xdotool keydown "$1"
  sleep 0.2
  xdotool keyup "$1"
}

# --- One scripted session of the real game -----------------------------------
# Starts the game on DISPLAY with OPTIONS and waits for its finished menu:
# sets game_pid and launch_ms (ms from launch to the menu's frame).
launch_to_menu() {
  local err="$1" launch menu_at
  local DISPLAY="$2"
  export DISPLAY
  shift 2
  : >"$err"
  # The subshell notes the time and becomes the game, so that the time is
  # taken as late before the program starts as a script can.
  (
    echo "$EPOCHREALTIME" >"$work/launch"
    cd "$work/game"
    RANGIERTRUBEL_TRACE=1 exec "$bin/rangiertrubel" "$@" 2>"$err" >/dev/null
  ) &
  game_pid=$!

  # Start-up: the menu is finished when frames stop coming for 0.5 s.
  for ((i = 0; i < 200; i++)); do
    sleep 0.05
    kill -0 "$game_pid" 2>/dev/null || { log "the game ended at start"; return 1; }
    if menu_at="$(bench_menu_frame 0.5 <"$err" 2>/dev/null)" &&
      [ "$(awk -v m="$menu_at" -v n="$EPOCHREALTIME" 'BEGIN { print (n - m > 0.5) }')" = 1 ]; then
      break
    fi
    menu_at=""
  done
  [ -n "$menu_at" ] || { log "the menu never appeared"; return 1; }
  launch="$(cat "$work/launch")"
  launch_ms="$(bench_ms_between "$launch" "$menu_at")"
}

# Start-up to the menu with the levels of a seed (--seed 1), in a window.
seeded_startup() {
  launch_to_menu "$work/trace.seeded" "$1" --windowed --seed 1 || return 1
  kill "$game_pid"
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
  echo "$launch_ms"
}

# Run NUMBER on DISPLAY, the game started with OPTION (--windowed or
# --fullscreen). Prints: start-up ms, menu %, menu wake-ups/s, intro %,
# intro wake-ups/s, play %, play wake-ups/s, arrow %, peak kB, explosion %,
# explosion wake-ups/s.
session() {
  local err="$work/trace.$1.${3#--}" window
  local menu intro play arrow peak explosion
  local DISPLAY="$2"
  export DISPLAY
  launch_to_menu "$err" "$2" "$3" || return 1

  window="$(xdotool search --limit 1 --pid "$game_pid" 2>/dev/null | head -n 1)" || true
  [ -n "$window" ] || window="$(xdotool search --limit 1 --name rangiertrubel | head -n 1)" || true
  [ -n "$window" ] || { log "no window of the game"; return 1; }
  xdotool windowfocus "$window"
  sleep 0.5

  menu="$(cpu_over 10)" || return 1
  # "SPIEL STARTEN": the level's three-second intro follows at once.
  local before
  before="$(bench_frame_count <"$err")"
  tap Return
  intro="$(cpu_over 2.6)" || return 1
  # The intro shows a new frame up to 30 times a second while new cells
  # appear, 40 or so in all; without them the keys did not reach the game,
  # and the figures would be the menu's.
  if [ "$(($(bench_frame_count <"$err") - before))" -lt 15 ]; then
    log "the intro did not run: the keys do not reach the game's window"
    return 1
  fi
  sleep 0.8
  # Level 1 starts; one slide Up completes its route (the solution's single
  # slide), so the locomotive safely runs for the rest of the session.
  tap x
  sleep 0.3
  tap Up
  sleep 0.5
  before="$(bench_frame_count <"$err")"
  play="$(cpu_over 10)" || return 1
  # The locomotive blinks at every poll of the keys, 6 to 7 frames a second.
  if [ "$(($(bench_frame_count <"$err") - before))" -lt 30 ]; then
    log "the level did not start"
    return 1
  fi
  # Up held: the empty cell goes down its column, away from the route, then
  # the held key keeps being looked at and the X server keeps repeating it.
  xdotool keydown Up
  sleep 0.7
  arrow="$(cpu_over 10 | cut -d' ' -f1)" || return 1
  xdotool keyup Up
  # Escape gives up the locomotive at the next poll: the explosion's two
  # seconds, then the level again.
  tap Escape
  explosion="$(cpu_over 1.7)" || return 1
  sleep 4.3
  peak="$(bench_peak_kb <"/proc/$game_pid/status")" || return 1
  kill "$game_pid"
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
  echo "$launch_ms $menu $intro $play $arrow $peak $explosion"
}

# --- rangiertrubel-sim over the ten solutions --------------------------------
mkdir -p "$work/sim/Data"
cp "$source_dir"/data/levels/lev*.dat "$work/sim/Data/"
cp -r "$bin/Sprites" "$bin/Waves" "$work/sim/"
# Prints two speeds: the ten replayed in one run of rangiertrubel-sim (the
# figure with the budget), then one run per script, where starting the
# process is about half of each short replay.
sim_speed() {
  local virtual=0 real=0 t0 t1 end script status scripts
  scripts=("$source_dir"/data/solutions/level[0-9][0-9].sim)
  t0="$EPOCHREALTIME"
  status=0
  "$bin/rangiertrubel-sim" --dir "$work/sim" "${scripts[@]}" >"$work/sim.out" || status=$?
  t1="$EPOCHREALTIME"
  # Every script ends with "end": exit status 3, and a "stopped" line each.
  [ "$status" = 3 ] || { log "the ten replays ended with status $status"; return 1; }
  [ "$(grep -c '"stopped": true' "$work/sim.out")" = "${#scripts[@]}" ] ||
    { log "not every replay reached its end"; return 1; }
  virtual="$(grep '"stopped": true' "$work/sim.out" | bench_sim_end_sum)" || return 1
  echo -n "$(bench_ratio "$virtual" "$(awk -v b="$t0" -v c="$t1" 'BEGIN { print c - b }')") "
  virtual=0
  for script in "${scripts[@]}"; do
    t0="$EPOCHREALTIME"
    status=0
    "$bin/rangiertrubel-sim" --dir "$work/sim" "$script" >"$work/sim.out" || status=$?
    t1="$EPOCHREALTIME"
    [ "$status" = 3 ] || { log "$(basename "$script") ended with status $status"; return 1; }
    end="$(bench_sim_end <"$work/sim.out")" || return 1
    virtual="$(awk -v a="$virtual" -v b="$end" 'BEGIN { print a + b }')"
    real="$(awk -v a="$real" -v b="$t0" -v c="$t1" 'BEGIN { print a + c - b }')"
  done
  bench_ratio "$virtual" "$real"
}

# --- rangiertrubel-levels generate: ten proven levels, on one core ----------
# Milliseconds for each of the seeds 1 to 100, one line each.
generate_times() {
  local seed t0 t1 status
  local one_core=()
  command -v taskset >/dev/null && one_core=(taskset -c 0)
  for seed in $(seq 1 100); do
    rm -rf "$work/generated"
    mkdir -p "$work/generated"
    t0="$EPOCHREALTIME"
    status=0
    "${one_core[@]}" "$bin/rangiertrubel-levels" generate --seed "$seed" \
      --out "$work/generated" >/dev/null || status=$?
    t1="$EPOCHREALTIME"
    [ "$status" = 0 ] || { log "generate --seed $seed ended with status $status"; return 1; }
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f\n", (b - a) * 1000 }'
  done
}

# --- rangiertrubel-levels solve: the ten shipped levels, on one core ---------
# Prints the milliseconds for all ten together and the largest peak resident
# memory of one solve in MB. The time and the memory come from two passes, so
# that the time is not the memory counter's own start as well.
solve_figures() {
  local k n t0 t1 total=0 kb most=0
  local one_core=()
  command -v taskset >/dev/null && one_core=(taskset -c 0)
  for k in $(seq 1 10); do
    n="$(printf '%02d' "$k")"
    t0="$EPOCHREALTIME"
    "${one_core[@]}" "$bin/rangiertrubel-levels" solve "$source_dir/data/levels/lev$n.dat" \
      --level "$k" >/dev/null || { log "solve lev$n.dat found no plan"; return 1; }
    t1="$EPOCHREALTIME"
    total="$(awk -v a="$total" -v b="$t0" -v c="$t1" 'BEGIN { print a + c - b }')"
    /usr/bin/time -f '%M' -o "$work/solve.kb" "$bin/rangiertrubel-levels" solve \
      "$source_dir/data/levels/lev$n.dat" --level "$k" >/dev/null ||
      { log "solve lev$n.dat found no plan"; return 1; }
    kb="$(tail -n 1 "$work/solve.kb")"
    [ "$kb" -gt "$most" ] && most="$kb"
  done
  awk -v t="$total" -v k="$most" 'BEGIN { printf "%.0f %.1f\n", t * 1000, k / 1024 }'
}

# --- rangiertrubel-levels rate: the editor's verdict, on one core -------------
# Prints the milliseconds of the verdict on each shipped level at its own
# speed, one line each.
rate_times() {
  local k n t0 t1
  local one_core=()
  command -v taskset >/dev/null && one_core=(taskset -c 0)
  for k in $(seq 1 10); do
    n="$(printf '%02d' "$k")"
    t0="$EPOCHREALTIME"
    "${one_core[@]}" "$bin/rangiertrubel-levels" rate "$source_dir/data/levels/lev$n.dat" \
      --speed "$k" >/dev/null || { log "rate lev$n.dat failed"; return 1; }
    t1="$EPOCHREALTIME"
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.0f\n", (b - a) * 1000 }'
  done
}

load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
declare -a startup menu menu_wake intro intro_wake play play_wake arrow peak sim sim_apart seeded
declare -a solve_ms solve_mb
declare -a explosion explosion_wake
declare -a f_startup f_menu f_menu_wake f_play f_play_wake f_arrow
for ((r = 1; r <= runs; r++)); do
  log "session $r of $runs, in a window"
  # In this shell, not a subshell, so that the clean-up knows the game.
  if ! session "$r" "$display" --windowed >"$work/result"; then
    log "session $r failed"
    exit 2
  fi
  read -r s m mw i iw p pw a k e ew <"$work/result" || true
  [ -n "${ew:-}" ] || { log "session $r gave no figures"; exit 2; }
  startup+=("$s") menu+=("$m") menu_wake+=("$mw") intro+=("$i") intro_wake+=("$iw")
  play+=("$p") play_wake+=("$pw") arrow+=("$a") peak+=("$k") explosion+=("$e")
  explosion_wake+=("$ew")
  log "session $r of $runs, full screen at 1920 x 1080"
  if ! session "$r" "$full_display" --fullscreen >"$work/result"; then
    log "full-screen session $r failed"
    exit 2
  fi
  read -r s m mw i iw p pw a k e ew <"$work/result" || true
  [ -n "${ew:-}" ] || { log "full-screen session $r gave no figures"; exit 2; }
  f_startup+=("$s") f_menu+=("$m") f_menu_wake+=("$mw") f_play+=("$p")
  f_play_wake+=("$pw") f_arrow+=("$a")
  read -r speed speed_apart < <(sim_speed) || true
  [ -n "${speed_apart:-}" ] || { log "rangiertrubel-sim failed"; exit 2; }
  sim+=("$speed") sim_apart+=("$speed_apart")
  log "start-up $r of $runs with --seed 1"
  seeded_ms="$(seeded_startup "$display")" || { log "the seeded start-up failed"; exit 2; }
  seeded+=("$(awk -v a="$seeded_ms" -v b="${startup[$((r - 1))]}" 'BEGIN { print a - b }')")
  read -r t m < <(solve_figures) || true
  [ -n "${m:-}" ] || { log "rangiertrubel-levels solve failed"; exit 2; }
  solve_ms+=("$t") solve_mb+=("$m")
done
log "generating the ten levels of seeds 1 to 100"
mapfile -t generate < <(generate_times) || true
[ "${#generate[@]}" = 100 ] || { log "rangiertrubel-levels generate failed"; exit 2; }
generate_worst="$(printf '%s\n' "${generate[@]}" | sort -n | tail -n 1)"
log "rating the ten shipped levels"
mapfile -t rate < <(rate_times) || true
[ "${#rate[@]}" = 10 ] || { log "rangiertrubel-levels rate failed"; exit 2; }
rate_worst="$(printf '%s\n' "${rate[@]}" | sort -n | tail -n 1)"
load_after="$(cut -d' ' -f1-3 /proc/loadavg)"

missed=0
row() {
  local name="$1" unit="$2" op="$3" limit="$4"
  shift 4
  local med verdict
  med="$(bench_median "$@")"
  verdict="$(bench_verdict "$med" "$op" "$limit")"
  [ "$verdict" = ok ] || missed=1
  printf '| %s | %s %s | %s | %s | %s |\n' "$name" "$med" "$unit" "$*" \
    "$(bench_budget_text "$op" "$limit" "$unit")" "$verdict"
}

# A figure shown beside the others, with no budget of its own.
shown_row() {
  local name="$1" unit="$2"
  shift 2
  printf '| %s | %s %s | %s | none | - |\n' "$name" "$(bench_median "$@")" "$unit" "$*"
}

peak_mb=()
for k in "${peak[@]}"; do peak_mb+=("$(awk -v k="$k" 'BEGIN { printf "%.1f", k / 1024 }')"); done

echo
echo "rangiertrubel benchmark, $(date '+%Y-%m-%d %H:%M'), $(nproc) cores, median of $runs runs"
echo
echo '| figure | median | runs | budget | verdict |'
echo '|---|---|---|---|---|'
row "processor, menu idle" "%" le 0.2 "${menu[@]}"
row "wake-ups, menu idle" "/s" le 1.5 "${menu_wake[@]}"
row "processor, play, no key" "%" le 0.5 "${play[@]}"
row "wake-ups, play, no key" "/s" le 15 "${play_wake[@]}"
row "processor, arrow key held" "%" le 2 "${arrow[@]}"
row "processor, 3 s intro" "%" le 2 "${intro[@]}"
row "wake-ups, 3 s intro" "/s" le 60 "${intro_wake[@]}"
row "processor, explosion" "%" le 2 "${explosion[@]}"
row "wake-ups, explosion" "/s" le 60 "${explosion_wake[@]}"
row "start-up to the menu's frame" "ms" le 150 "${startup[@]}"
row "peak resident memory" "MB" le 60 "${peak_mb[@]}"
row "full screen 1920 x 1080: processor, menu idle" "%" le 0.2 "${f_menu[@]}"
row "full screen 1920 x 1080: wake-ups, menu idle" "/s" le 1.5 "${f_menu_wake[@]}"
row "full screen 1920 x 1080: processor, play, no key" "%" le 0.5 "${f_play[@]}"
row "full screen 1920 x 1080: wake-ups, play, no key" "/s" le 15 "${f_play_wake[@]}"
row "full screen 1920 x 1080: processor, arrow key held" "%" le 2 "${f_arrow[@]}"
row "full screen 1920 x 1080: start-up to the menu's frame" "ms" le 150 "${f_startup[@]}"
row "rangiertrubel-sim, the ten replays in one run" "virtual s/s" ge 100000 "${sim[@]}"
shown_row "rangiertrubel-sim, one run per replay" "virtual s/s" "${sim_apart[@]}"
row "start-up with --seed 1, more than without" "ms" le 150 "${seeded[@]}"
row "solve, the ten shipped levels, one core" "ms" le 50 "${solve_ms[@]}"
row "solve, peak resident memory of one level" "MB" le 256 "${solve_mb[@]}"
row "generate, ten proven levels and their scripts, one core (median of seeds 1 to 100)" "ms" le 150 "${generate[@]}"
row "generate, ten proven levels and their scripts, one core (worst of seeds 1 to 100)" "ms" le 500 "$generate_worst"
row "editor's verdict, a shipped level at its speed, one core (median of the ten)" "ms" le 100 "${rate[@]}"
row "editor's verdict, the slowest shipped level, one core" "ms" le 500 "$rate_worst"
echo
echo "Load average (1, 5, 15 min) before: $load_before; after: $load_after."
exit "$missed"
