# shellcheck shell=bash
# Helpers of the benchmark: arithmetic on the figures, reading the kernel's
# accounting of a process, reading the game's frame trace and the runner's
# output. Sourced by bench/run.sh and bench/selftest.sh; nothing here starts
# a process of the game.

# The median of the numbers given as arguments (the mean of the middle two
# for an even count); prints nothing and fails when there are none or one of
# them is not a number.
bench_median() {
  [ "$#" -gt 0 ] || return 1
  local n
  for n in "$@"; do
    [[ "$n" =~ ^-?[0-9]+([.][0-9]+)?$ ]] || return 1
  done
  printf '%s\n' "$@" | sort -g | awk '
    { v[NR] = $1 }
    END {
      if (NR % 2) m = v[(NR + 1) / 2]; else m = (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "%.6g\n", m
    }'
}

# The processor time (user + system, in clock ticks) of a process from the
# text of its /proc/PID/stat, given on standard input. The process name in
# parentheses may itself hold spaces and parentheses, so the fields are
# counted from the last ")". Fails on text that is not such a line.
bench_stat_ticks() {
  local line rest
  IFS= read -r line || return 1
  [[ "$line" == *")"* ]] || return 1
  rest="${line##*)}"
  # After the name: state(3) ppid(4) ... utime(14) stime(15), so utime and
  # stime are the 12th and 13th words of the rest.
  awk '{ if (NF < 13 || $12 !~ /^[0-9]+$/ || $13 !~ /^[0-9]+$/) exit 1; print $12 + $13 }' \
    <<<"$rest"
}

# Processor ticks of a running process, or fails when it is gone.
bench_process_ticks() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
  bench_stat_ticks <<<"$stat"
}

# Percentage of one core: TICKS clock ticks at TICKS_PER_SECOND over SECONDS
# of wall time. Fails on a non-positive duration or tick rate.
bench_cpu_percent() {
  awk -v t="$1" -v hz="$2" -v s="$3" 'BEGIN {
    if (hz <= 0 || s <= 0 || t < 0) exit 1
    printf "%.2f\n", 100 * t / hz / s
  }'
}

# The context switches (voluntary and involuntary) of each thread, from the
# text of their /proc/PID/task/TID/status files one after another on
# standard input: one line "TID COUNT" per thread. Each switch is a wake-up
# of a thread. Fails when there are none.
bench_switches_in() {
  awk '$1 == "Pid:" { tid = $2 }
       $1 == "voluntary_ctxt_switches:" || $1 == "nonvoluntary_ctxt_switches:" {
         if ($2 !~ /^[0-9]+$/ || tid == "") exit 1
         n[tid] += $2; found = 1
       }
       END { if (!found) exit 1; for (t in n) print t, n[t] }' | sort -n
}

# The context switches of each thread of a running process so far ("TID
# COUNT" lines), or fails when it is gone.
bench_process_switches() {
  local status
  [ -d "/proc/$1/task" ] || return 1
  # A thread may end between listing and reading: its file is skipped.
  status="$(cat /proc/"$1"/task/*/status 2>/dev/null || true)"
  bench_switches_in <<<"$status"
}

# The switches between two readings of bench_process_switches, given as
# files BEFORE and AFTER: for each thread of AFTER its growth, the whole
# count of a thread that was not there before. (A thread that ended in
# between takes its last switches with it: read often.)
bench_switches_between() {
  awk 'FNR == NR { before[$1] = $2; next } { total += $2 - ($1 in before ? before[$1] : 0) }
       END { print total + 0 }' "$1" "$2"
}

# COUNT events over SECONDS, per second, to a tenth.
bench_per_second() {
  awk -v n="$1" -v s="$2" 'BEGIN { if (s <= 0 || n < 0) exit 1; printf "%.1f\n", n / s }'
}

# The peak resident memory in kB from the text of /proc/PID/status on
# standard input (its VmHWM line). Fails when the line is missing.
bench_peak_kb() {
  awk '$1 == "VmHWM:" { print $2; found = 1 } END { exit !found }'
}

# From the game's frame trace on standard input ("rangiertrubel: frame N at
# SECONDS" lines among other text), the time stamp of the frame that shows
# the finished menu: the last frame before the screen stayed unchanged for
# QUIET seconds. Frames must come with increasing numbers; other lines are
# skipped. Fails when there is no frame.
bench_menu_frame() {
  awk -v quiet="$1" '
    $1 == "rangiertrubel:" && $2 == "frame" && $4 == "at" && $3 ~ /^[0-9]+$/ &&
    $5 ~ /^[0-9]+([.][0-9]+)?$/ {
      if (n > 0 && $5 - last > quiet) exit
      last = $5; n++
    }
    END { if (!n) exit 1; printf "%.6f\n", last }'
}

# The number of trace lines of presented frames on standard input.
bench_frame_count() {
  awk '$1 == "rangiertrubel:" && $2 == "frame" && $4 == "at" { n++ } END { print n + 0 }'
}

# Milliseconds from START to STAMP (both in seconds), to a tenth.
bench_ms_between() {
  awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }'
}

# The last virtual time ("t") in the runner's JSON output on standard input:
# how far the script took the game. Fails when no line carries one.
bench_sim_end() {
  awk '
    match($0, /"t": *[0-9]+([.][0-9]+)?/) {
      v = substr($0, RSTART, RLENGTH); sub(/"t": */, "", v); t = v; found = 1
    }
    END { if (!found) exit 1; printf "%.6f\n", t }'
}

# The sum of the "t" of every line read (the ends of several replays).
bench_sim_end_sum() {
  awk '
    match($0, /"t": *[0-9]+([.][0-9]+)?/) {
      v = substr($0, RSTART, RLENGTH); sub(/"t": */, "", v); t += v; found = 1
    }
    END { if (!found) exit 1; printf "%.6f\n", t }'
}

# Virtual seconds per real second.
bench_ratio() {
  awk -v v="$1" -v r="$2" 'BEGIN { if (r <= 0) exit 1; printf "%.0f\n", v / r }'
}

# Whether FIGURE meets a budget: "le LIMIT" (at most), "lt LIMIT" (below) or
# "ge LIMIT" (at least). Prints "ok" or "MISSED"; fails on an unknown form.
bench_verdict() {
  awk -v f="$1" -v op="$2" -v lim="$3" 'BEGIN {
    if (op == "le") ok = (f <= lim); else if (op == "lt") ok = (f < lim);
    else if (op == "ge") ok = (f >= lim); else exit 1
    print (ok ? "ok" : "MISSED")
  }'
}

# The budget in words, for the table.
bench_budget_text() {
  case "$1" in
    le) printf '<= %s %s\n' "$2" "$3" ;;
    lt) printf '< %s %s\n' "$2" "$3" ;;
    ge) printf '>= %s %s\n' "$2" "$3" ;;
    *) return 1 ;;
  esac
}

# A display number from FIRST upward that no X server holds (neither its
# socket nor its lock file exists), or fails after 100 tries.
bench_free_display() {
  local n="$1" tries
  for ((tries = 0; tries < 100; tries++, n++)); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}
