#!/usr/bin/env bash
# Whole-process figures of the Linux program on a virtual X display, side by
# side with oneko (Debian's X11 desktop cat) on the same display, and of the
# Windows program under Wine when it has been built. Prints markdown tables.
#
#   bench/measure_process.sh [--program PATH] [--exe PATH] [--seconds N] [--runs N] [--seed N]
#                            [--walk-seed N] [--walk-from S] [--walk-seconds S] [--strace-seconds N]
#                            [--no-strace] [--no-tick] [--no-wine] [--no-linux] [--no-callgrind] [--compositor]
#                            [--modes "0 1 2"] [--stretches "representative walking"] [--pets "N ..."]
#
# For each display mode, with the default 150 ms tick, the pet living the same
# life in every run (DORRABEE_SEED fixes its behaviour's seed):
# - CPU per minute, in two stretches of its life, each over --runs runs
#   (default 3) given as median and spread (lowest to highest), with oneko
#   living beside it on the same display in the same run:
#   a representative stretch (seed --seed, default 1, --seconds after 5 s of
#   settling) and a walking stretch (seed --walk-seed, from --walk-from s for
#   --walk-seconds s: a new image and a move on every tick, the worst case;
#   by default seed 274 from 2 s to 16 s, where `dorrabee-sim --seed 274`
#   walks from tick 4 to tick 119 on a 1024 x 768 screen). The pointer moves to a new
#   place every 5 s (oneko chases it; the pet ignores it). CPU time is the sum
#   of every thread's time on a CPU (/proc/PID/task/*/schedstat, nanoseconds).
# - Memory at the end of the last representative run: resident set (VmRSS),
#   proportional share (Pss) and the process's own written pages
#   (Private_Dirty), from /proc/PID/smaps_rollup, and how much the resident set
#   grew while it lived (a leak shows there).
# - System calls per tick: strace -c -f attached for --strace-seconds (default
#   60) to the pet and to oneko (125 ms tick), the calls' total divided by the
#   ticks of that time, and the pet's most frequent calls.
# - Start-up to first paint: from exec until the pet's pixels first show on
#   the screen (bench/first_paint.c watches the screen), median of 5 starts.
# - The tick's cost inside the program: the process's CPU time per tick at a
#   10 ms tick (Qt's event handling and the X requests included), and, under
#   callgrind, the instructions of one timer event of the pet window (step,
#   outline, move) and of one paint_frame (composite or cell copy, and the
#   copy to the window).
# --pets N starts a company of N built-in cats in the one program (the saved
# company of the settings), each with its own seed drawn from the first;
# several counts ("1 3 10") are measured one after another in the same run,
# each row naming its count. Under Wine the system calls per tick of
# dorrabee.exe and of wineserver are counted too (strace), so that what one
# more pet costs there shows beside the count.
# --compositor runs xcompmgr on the display first: the pet then draws as a
# 32-bit window with alpha instead of a shaped one (oneko stays shaped).
# Needs Xvfb, xdotool, /usr/games/oneko, a C compiler with Xlib headers,
# strace for the system calls, valgrind for the instruction counts; wine for
# the Windows figures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$root/build/linux/dorrabee"
exe="$root/build/windows/platform/win32/dorrabee.exe"
seconds=60
runs=3
modes="0 1 2"
stretches="representative walking"
seed=1
walk_seed=274
walk_from=2
walk_seconds=14
strace_seconds=60
use_strace=1
use_tick=1
use_wine=1
use_linux=1
use_callgrind=1
use_compositor=0
pet_counts=1
pets=1
while [ $# -gt 0 ]; do
  case "$1" in
    --program) program="$2"; shift 2 ;;
    --exe) exe="$2"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --modes) modes="$2"; shift 2 ;;
    --stretches) stretches="$2"; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --walk-seed) walk_seed="$2"; shift 2 ;;
    --walk-from) walk_from="$2"; shift 2 ;;
    --walk-seconds) walk_seconds="$2"; shift 2 ;;
    --strace-seconds) strace_seconds="$2"; shift 2 ;;
    --no-strace) use_strace=0; shift ;;
    --no-tick) use_tick=0; shift ;;
    --no-wine) use_wine=0; shift ;;
    --no-linux) use_linux=0; use_tick=0; shift ;;
    --no-callgrind) use_callgrind=0; shift ;;
    --compositor) use_compositor=1; shift ;;
    --pets) pet_counts="$2"; shift 2 ;;
    *) sed -n '/^#   bench/,/^#  *\[--no-strace/p' "$0" | sed 's/^# *//' >&2; exit 2 ;;
  esac
done
[ -x "$program" ] || { echo "no program at $program (cmake --preset linux && cmake --build --preset linux)" >&2; exit 2; }

work="$(mktemp -d /tmp/dorrabee-measure.XXXXXX)"
pids=()
strace_rows=()
xvfb_pid=""
finish() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
window_manager="no window manager"
if [ "$use_compositor" = 1 ]; then
  xcompmgr 2>/dev/null & pids+=("$!")
  sleep 1  # it owns _NET_WM_CM_S0 by then, which the pet asks for as it starts
  window_manager="no window manager, xcompmgr compositing: the pet's window is 32-bit ARGB"
fi
cc -O2 -Wall -o "$work/first_paint" "$root/bench/first_paint.c" -lX11
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

mode_name=(standard precomputed live)

# A copy of the program beside its own settings file.
install_pet() {  # folder file mode timer
  mkdir -p "$1"
  cp "$2" "$1/"
  printf '[Setup]\r\nMode=%s\r\nTimer=%s\r\n' "$3" "$4" >"$1/dorra.ini"
  if [ "$pets" -gt 1 ]; then
    printf 'Pets=%s\r\n' "$pets" >>"$1/dorra.ini"
    for k in $(seq "$pets"); do printf 'Pet %s=\r\n' "$k" >>"$1/dorra.ini"; done
  fi
}

cpu_ns() {  # pid: nanoseconds on a CPU, all threads
  local total=0 task
  for task in /proc/"$1"/task/*/schedstat; do
    read -r run _ <"$task" 2>/dev/null || continue
    total=$((total + run))
  done
  echo "$total"
}

memory_kb() {  # pid: "rss pss private_dirty" in kB
  local rss pss dirty
  rss=$(awk '/^VmRSS:/ {print $2}' /proc/"$1"/status)
  pss=$(awk '/^Pss:/ {print $2}' /proc/"$1"/smaps_rollup 2>/dev/null || echo 0)
  dirty=$(awk '/^Private_Dirty:/ {print $2}' /proc/"$1"/smaps_rollup 2>/dev/null || echo 0)
  echo "$rss ${pss:-0} ${dirty:-0}"
}

wander_pointer() {  # seconds (fractions allowed)
  local left="$1"
  while awk -v l="$left" 'BEGIN { exit !(l > 0) }'; do
    xdotool mousemove $((RANDOM % 1000 + 12)) $((RANDOM % 740 + 14)) 2>/dev/null || true
    local nap; nap=$(awk -v l="$left" 'BEGIN { print (l < 5 ? l : 5) }')
    sleep "$nap"
    left=$(awk -v l="$left" -v n="$nap" 'BEGIN { print l - n }')
  done
}

# Lets the given processes live together, measuring from `from` seconds after
# the start for `length` seconds; prints one line per pid:
# "cpu_seconds_per_minute rss_mb pss_mb private_dirty_mb rss_growth_kb".
live_together() {  # from length pids...
  local from="$1" length="$2"; shift 2
  sleep "$from"
  local pid start=() rss_start=() t0 t1
  for pid in "$@"; do start+=("$(cpu_ns "$pid")"); rss_start+=("$(memory_kb "$pid" | cut -d' ' -f1)"); done
  t0=$(date +%s%N)
  wander_pointer "$length"
  t1=$(date +%s%N)
  local i=0
  for pid in "$@"; do
    local used=$(( $(cpu_ns "$pid") - ${start[$i]} ))
    read -r rss pss dirty < <(memory_kb "$pid")
    awk -v used="$used" -v wall="$((t1 - t0))" -v rss="$rss" -v pss="$pss" -v dirty="$dirty" -v rss0="${rss_start[$i]}" \
      'BEGIN { printf "%.3f %.1f %.1f %.2f %d\n", used / wall * 60, rss / 1024, pss / 1024, dirty / 1024, rss - rss0 }'
    i=$((i + 1))
  done
}

# The newest process of ours (started with our Wine prefix) whose command line matches.
wine_process() {  # pattern
  local pid
  for pid in $(pgrep -f "$1" | sort -rn); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$pid"; return; }
  done
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# "median (lowest-highest)" of the numbers on stdin.
spread() { sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f (%.3f-%.3f)", m, v[1], v[NR] }'; }

# The pet (seeded) and oneko together for one stretch; prints the pet's line
# and oneko's line of live_together.
pet_beside_oneko() {  # pet seed from length
  DORRABEE_SEED="$2" "$1" 2>/dev/null & local pet_pid=$!; pids+=("$pet_pid")
  /usr/games/oneko 2>/dev/null & local oneko_pid=$!; pids+=("$oneko_pid")
  live_together "$3" "$4" "$pet_pid" "$oneko_pid"
  # oneko's SIGTERM handler calls Xlib and can deadlock inside it.
  kill "$pet_pid" 2>/dev/null || true
  kill -KILL "$oneko_pid" 2>/dev/null || true
  wait "$pet_pid" "$oneko_pid" 2>/dev/null || true
}

# strace -c -f attached to a running process; prints "calls_per_tick top_calls".
calls_per_tick() {  # pid tick_ms
  local out="$work/strace.$1"
  local threads=() task
  for task in /proc/"$1"/task/*; do threads+=(-p "${task##*/}"); done
  strace -c -f -o "$out" "${threads[@]}" 2>/dev/null & local tracer=$!
  sleep "$strace_seconds"
  kill -INT "$tracer" 2>/dev/null || true
  wait "$tracer" 2>/dev/null || true
  awk -v ticks="$(awk -v s="$strace_seconds" -v t="$2" 'BEGIN { print s * 1000 / t }')" '
    $NF == "total" { total = $4; next }
    $1 ~ /^[0-9.]+$/ && NF >= 5 { calls[$NF] = $4 }
    END {
      n = 0; for (c in calls) order[n++] = c
      for (i = 0; i < n; i++) for (j = i + 1; j < n; j++) if (calls[order[j]] + 0 > calls[order[i]] + 0) { t = order[i]; order[i] = order[j]; order[j] = t }
      line = ""; for (i = 0; i < n && i < 6; i++) line = line sprintf("%s%s %.1f", i ? ", " : "", order[i], calls[order[i]] / ticks)
      printf "%.1f %s\n", total / ticks, line
    }' "$out"
}

echo "Measuring on $DISPLAY (Xvfb 1024x768x24, $window_manager); $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Pets in the program: $pet_counts"
if [ "$use_linux" = 1 ]; then
echo "Representative stretch: seed $seed, ${seconds} s from 5 s; walking stretch: seed $walk_seed, ${walk_seconds} s from ${walk_from} s; $runs runs each: median (lowest-highest)"
echo
echo "| Display mode | Stretch | dorrabee CPU s per minute | oneko CPU s per minute, same runs | dorrabee / oneko | load average (1 min) after each run |"
echo "|---|---|---|---|---|---|"
memory_rows=()
first_rows=()
for pets in $pet_counts; do
for mode in $modes; do
  label="${mode_name[$mode]}"
  [ "$pet_counts" = 1 ] || label="$label, $pets pets"
  folder="$work/pet$mode.$pets"
  install_pet "$folder" "$program" "$mode" 150
  pet="$folder/$(basename "$program")"
  pet_memory="- | - | - | -"; oneko_memory=$pet_memory  # from a representative run
  for stretch in $stretches; do
    pet_cpu=(); oneko_cpu=(); ratio=(); loads=()
    for _ in $(seq "$runs"); do
      if [ "$stretch" = representative ]; then
        mapfile -t rows < <(pet_beside_oneko "$pet" "$seed" 5 "$seconds")
      else
        mapfile -t rows < <(pet_beside_oneko "$pet" "$walk_seed" "$walk_from" "$walk_seconds")
      fi
      read -r cpu rss pss dirty growth <<<"${rows[0]}"; pet_cpu+=("$cpu")
      [ "$stretch" = representative ] && pet_memory="$rss | $pss | $dirty | $growth"
      read -r cpu rss pss dirty growth <<<"${rows[1]}"; oneko_cpu+=("$cpu")
      [ "$stretch" = representative ] && oneko_memory="$rss | $pss | $dirty | $growth"
      ratio+=("$(awk -v p="${pet_cpu[-1]}" -v o="$cpu" 'BEGIN { printf "%.2f", (o > 0 ? p / o : 0) }')")
      loads+=("$(cut -d' ' -f1 /proc/loadavg)")
    done
    echo "| $label | $stretch | $(printf '%s\n' "${pet_cpu[@]}" | spread) | $(printf '%s\n' "${oneko_cpu[@]}" | spread) | $(printf '%s\n' "${ratio[@]}" | spread) | ${loads[*]} |"
  done
  memory_rows+=("| dorrabee | $label | $pet_memory |" "| oneko, beside it | - | $oneko_memory |")

  if [ "$use_strace" = 1 ] && command -v strace >/dev/null; then
    DORRABEE_SEED="$seed" "$pet" 2>/dev/null & pet_pid=$!; pids+=("$pet_pid")
    /usr/games/oneko 2>/dev/null & oneko_pid=$!; pids+=("$oneko_pid")
    sleep 5
    calls_per_tick "$pet_pid" 150 >"$work/calls.pet" & pet_tracer=$!
    calls_per_tick "$oneko_pid" 125 >"$work/calls.oneko"
    wait "$pet_tracer" || true
    read -r pet_calls pet_top <"$work/calls.pet"
    read -r oneko_calls oneko_top <"$work/calls.oneko"
    # oneko's SIGTERM handler calls Xlib and can deadlock inside it.
    kill "$pet_pid" 2>/dev/null || true
    kill -KILL "$oneko_pid" 2>/dev/null || true
    wait "$pet_pid" "$oneko_pid" 2>/dev/null || true
    strace_rows+=("| $label | $pet_calls | $pet_top | $oneko_calls | $oneko_top |")
  fi

  paints=()
  for _ in 1 2 3 4 5; do
    read -r _ painted < <(DORRABEE_SEED="$seed" "$work/first_paint" "$pet" 2>/dev/null)
    paints+=("$painted")
    sleep 0.3
  done
  first_rows+=("| $label | $(printf '%s\n' "${paints[@]}" | median) |")
done
done
echo
echo "Memory at the end of the last representative run, MB (growth in kB):"
echo
echo "| Program | Display mode | RSS | PSS | Private_Dirty | RSS growth over the run, kB |"
echo "|---|---|---|---|---|---|"
printf '%s\n' "${memory_rows[@]}"
if [ "${#strace_rows[@]}" -gt 0 ]; then
  echo
  echo "System calls per tick (strace -c -f, ${strace_seconds} s each, pet at 150 ms, oneko at 125 ms):"
  echo
  echo "| Display mode | dorrabee | its most frequent, per tick | oneko | its most frequent, per tick |"
  echo "|---|---|---|---|---|"
  printf '%s\n' "${strace_rows[@]}"
fi
echo
echo "| Display mode | Start-up to first paint, ms (median of 5) |"
echo "|---|---|"
printf '%s\n' "${first_rows[@]}"
fi

[ "$use_tick" = 1 ] || use_callgrind=0
if [ "$use_tick" = 1 ]; then
echo
echo "| Display mode | Process CPU per tick at a 10 ms tick, µs | Instructions per timer event (step, outline, move) | Instructions per paint_frame |"
echo "|---|---|---|---|"
for mode in 0 1 2; do
  folder="$work/fast$mode"
  install_pet "$folder" "$program" "$mode" 10
  pet="$folder/$(basename "$program")"
  DORRABEE_SEED="$seed" "$pet" 2>/dev/null & pet_pid=$!; pids+=("$pet_pid")
  sleep 3
  used0=$(cpu_ns "$pet_pid"); t0=$(date +%s%N)
  sleep 20
  used1=$(cpu_ns "$pet_pid"); t1=$(date +%s%N)
  kill "$pet_pid"; wait "$pet_pid" 2>/dev/null || true
  per_tick=$(awk -v used="$((used1 - used0))" -v wall="$((t1 - t0))" 'BEGIN { printf "%.1f", used / (wall / 1e7) / 1000 }')
  tick_ir="-"; paint_ir="-"
  if [ "$use_callgrind" = 1 ] && command -v valgrind >/dev/null; then
    slow="$work/slow$mode"
    install_pet "$slow" "$program" "$mode" 150
    DORRABEE_SEED="$seed" valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.$mode" "$slow/$(basename "$program")" \
      >/dev/null 2>&1 & grind_pid=$!; pids+=("$grind_pid")
    sleep 30
    kill "$grind_pid" 2>/dev/null || true; wait "$grind_pid" 2>/dev/null || true
    read -r tick_ir paint_ir < <(python3 "$root/bench/callgrind_per_call.py" "$work/callgrind.$mode" \
                                   PetWidget::timerEvent paint_frame)
  fi
  echo "| ${mode_name[$mode]} | $per_tick | $tick_ir | $paint_ir |"
done
fi

if [ "$use_wine" = 1 ] && [ -f "$exe" ] && command -v wine >/dev/null; then
  echo
  echo "Windows program under Wine 8 on the same display (Wine's own overhead included):"
  echo
  echo "| Program | Display mode | CPU s per minute, dorrabee.exe | CPU s per minute, wineserver | RSS MB | PSS MB | RSS growth, kB | System calls per tick, dorrabee.exe / wineserver |"
  echo "|---|---|---|---|---|---|---|---|"
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  for reg in "$root"/scripts/wine/*.reg; do
    [ -e "$reg" ] && { wine regedit /S "$reg" >/dev/null 2>&1 || true; }
  done
  wineserver -w
  for pets in $pet_counts; do
  for mode in $modes; do
    label="${mode_name[$mode]}"
    [ "$pet_counts" = 1 ] || label="$label, $pets pets"
    folder="$work/wine$mode.$pets"
    install_pet "$folder" "$exe" "$mode" 150
    DORRABEE_SEED="$seed" wine "$folder/dorrabee.exe" >/dev/null 2>&1 & wine_pid=$!; pids+=("$wine_pid")
    exe_pid=""
    for _ in $(seq 100); do
      exe_pid=$(wine_process 'dorrabee\.exe')
      [ -n "$exe_pid" ] && break
      sleep 0.1
    done
    server_pid=$(wine_process 'wineserver')
    [ -n "$exe_pid" ] && [ -n "$server_pid" ] || { echo "| dorrabee.exe | $label | did not start | | | | | |"; continue; }
    mapfile -t rows < <(live_together 5 "$seconds" "$exe_pid" "$server_pid")
    read -r cpu rss pss _ growth <<<"${rows[0]}"
    read -r server_cpu _ _ _ _ <<<"${rows[1]}"
    calls="-"
    if [ "$use_strace" = 1 ] && command -v strace >/dev/null; then
      calls_per_tick "$server_pid" 150 >"$work/calls.server" & server_tracer=$!
      read -r exe_calls _ < <(calls_per_tick "$exe_pid" 150)
      wait "$server_tracer" || true
      read -r server_calls _ <"$work/calls.server"
      calls="$exe_calls / $server_calls"
    fi
    echo "| dorrabee.exe (Win32, Wine) | $label | $cpu | $server_cpu | $rss | $pss | $growth | $calls |"
    kill "$exe_pid" 2>/dev/null || true
    wait "$wine_pid" 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  done
  done
fi
