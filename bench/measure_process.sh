#!/usr/bin/env bash
# Whole-process figures of the Linux program on a virtual X display, side by
# side with oneko (Debian's X11 desktop cat) on the same display, and of the
# Windows program under Wine when it has been built. Prints markdown tables.
#
#   bench/measure_process.sh [--program PATH] [--exe PATH] [--seconds N] [--no-wine] [--no-callgrind]
#
# For each display mode, with the default 150 ms tick:
# - CPU per minute of life and memory: the pet and oneko live together for
#   --seconds (default 60) after a 5 s settling time, while the pointer moves
#   to a new place every 5 s (oneko chases it). CPU time is the sum of every
#   thread's time on a CPU (/proc/PID/task/*/schedstat, nanoseconds); memory
#   is the resident set (VmRSS) and the proportional share (Pss) at the end,
#   and how much the resident set grew while it lived (a leak shows there).
# - Start-up to first paint: from exec until the pet's pixels first show on
#   the screen (bench/first_paint.c watches the screen), median of 5 starts.
# - The tick's cost inside the program: the process's CPU time per tick at a
#   10 ms tick (Qt's event handling and the X requests included), and, under
#   callgrind, the instructions of one timer event of the pet window (step,
#   outline, move) and of one paint_frame (composite or cell copy, and the
#   copy to the window).
# Needs Xvfb, xdotool, /usr/games/oneko, a C compiler with Xlib headers, and
# valgrind for the instruction counts; wine for the Windows figures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$root/build/linux/dorrabee"
exe="$root/build/windows/platform/win32/dorrabee.exe"
seconds=60
use_wine=1
use_callgrind=1
while [ $# -gt 0 ]; do
  case "$1" in
    --program) program="$2"; shift 2 ;;
    --exe) exe="$2"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    --no-wine) use_wine=0; shift ;;
    --no-callgrind) use_callgrind=0; shift ;;
    *) echo "usage: $0 [--program PATH] [--exe PATH] [--seconds N] [--no-wine] [--no-callgrind]" >&2; exit 2 ;;
  esac
done
[ -x "$program" ] || { echo "no program at $program (cmake --preset linux && cmake --build --preset linux)" >&2; exit 2; }

work="$(mktemp -d /tmp/dorrabee-measure.XXXXXX)"
pids=()
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
cc -O2 -Wall -o "$work/first_paint" "$root/bench/first_paint.c" -lX11
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

mode_name=(standard precomputed live)

# A copy of the program beside its own settings file.
install_pet() {  # folder file mode timer
  mkdir -p "$1"
  cp "$2" "$1/"
  printf '[Setup]\r\nMode=%s\r\nTimer=%s\r\n' "$3" "$4" >"$1/dorra.ini"
}

cpu_ns() {  # pid: nanoseconds on a CPU, all threads
  local total=0 task
  for task in /proc/"$1"/task/*/schedstat; do
    read -r run _ <"$task" 2>/dev/null || continue
    total=$((total + run))
  done
  echo "$total"
}

memory_kb() {  # pid: "rss pss" in kB
  local rss pss
  rss=$(awk '/^VmRSS:/ {print $2}' /proc/"$1"/status)
  pss=$(awk '/^Pss:/ {print $2}' /proc/"$1"/smaps_rollup 2>/dev/null || echo 0)
  echo "$rss ${pss:-0}"
}

wander_pointer() {  # seconds
  local end=$((SECONDS + $1))
  while [ $SECONDS -lt $end ]; do
    xdotool mousemove $((RANDOM % 1000 + 12)) $((RANDOM % 740 + 14)) 2>/dev/null || true
    sleep 5
  done
}

# Lets the given processes live together; prints one line per pid:
# "cpu_seconds_per_minute rss_mb pss_mb rss_growth_kb".
live_together() {  # pids...
  sleep 5
  local pid start=() rss_start=() t0 t1
  for pid in "$@"; do start+=("$(cpu_ns "$pid")"); rss_start+=("$(memory_kb "$pid" | cut -d' ' -f1)"); done
  t0=$(date +%s%N)
  wander_pointer "$seconds"
  t1=$(date +%s%N)
  local i=0
  for pid in "$@"; do
    local used=$(( $(cpu_ns "$pid") - ${start[$i]} ))
    read -r rss pss < <(memory_kb "$pid")
    awk -v used="$used" -v wall="$((t1 - t0))" -v rss="$rss" -v pss="$pss" -v rss0="${rss_start[$i]}" \
      'BEGIN { printf "%.3f %.1f %.1f %d\n", used / wall * 60, rss / 1024, pss / 1024, rss - rss0 }'
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

echo "Measuring on $DISPLAY (Xvfb 1024x768x24, no window manager), $seconds s of life per mode; $(nproc) CPUs, load $(cut -d' ' -f1 /proc/loadavg)"
echo
echo "| Program | Display mode | CPU s per minute | RSS MB | PSS MB | RSS growth over the run, kB | Start-up to first paint, ms (median of 5) |"
echo "|---|---|---|---|---|---|---|"
oneko_rows=()
for mode in 0 1 2; do
  folder="$work/pet$mode"
  install_pet "$folder" "$program" "$mode" 150
  pet="$folder/$(basename "$program")"
  paints=()
  for _ in 1 2 3 4 5; do
    read -r _ painted < <("$work/first_paint" "$pet" 2>/dev/null)
    paints+=("$painted")
    sleep 0.3
  done
  first=$(printf '%s\n' "${paints[@]}" | median)

  "$pet" 2>/dev/null & pet_pid=$!; pids+=("$pet_pid")
  /usr/games/oneko 2>/dev/null & oneko_pid=$!; pids+=("$oneko_pid")
  mapfile -t rows < <(live_together "$pet_pid" "$oneko_pid")
  kill "$pet_pid" "$oneko_pid" 2>/dev/null || true
  wait "$pet_pid" "$oneko_pid" 2>/dev/null || true
  read -r cpu rss pss growth <<<"${rows[0]}"
  echo "| dorrabee (Qt 6, X11) | ${mode_name[$mode]} | $cpu | $rss | $pss | $growth | $first |"
  read -r cpu rss pss growth <<<"${rows[1]}"
  oneko_rows+=("| oneko (Xlib), beside the ${mode_name[$mode]} pet | - | $cpu | $rss | $pss | $growth | - |")
done
printf '%s\n' "${oneko_rows[@]}"

echo
echo "| Display mode | Process CPU per tick at a 10 ms tick, µs | Instructions per timer event (step, outline, move) | Instructions per paint_frame |"
echo "|---|---|---|---|"
for mode in 0 1 2; do
  folder="$work/fast$mode"
  install_pet "$folder" "$program" "$mode" 10
  pet="$folder/$(basename "$program")"
  "$pet" 2>/dev/null & pet_pid=$!; pids+=("$pet_pid")
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
    valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.$mode" "$slow/$(basename "$program")" \
      >/dev/null 2>&1 & grind_pid=$!; pids+=("$grind_pid")
    sleep 30
    kill "$grind_pid" 2>/dev/null || true; wait "$grind_pid" 2>/dev/null || true
    read -r tick_ir paint_ir < <(python3 "$root/bench/callgrind_per_call.py" "$work/callgrind.$mode" \
                                   PetWidget::timerEvent paint_frame)
  fi
  echo "| ${mode_name[$mode]} | $per_tick | $tick_ir | $paint_ir |"
done

if [ "$use_wine" = 1 ] && [ -f "$exe" ] && command -v wine >/dev/null; then
  echo
  echo "Windows program under Wine 8 on the same display (Wine's own overhead included):"
  echo
  echo "| Program | Display mode | CPU s per minute, dorrabee.exe | CPU s per minute, wineserver | RSS MB | PSS MB | RSS growth, kB |"
  echo "|---|---|---|---|---|---|---|"
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  for reg in "$root"/scripts/wine/*.reg; do
    [ -e "$reg" ] && { wine regedit /S "$reg" >/dev/null 2>&1 || true; }
  done
  wineserver -w
  for mode in 0 1 2; do
    folder="$work/wine$mode"
    install_pet "$folder" "$exe" "$mode" 150
    wine "$folder/dorrabee.exe" >/dev/null 2>&1 & wine_pid=$!; pids+=("$wine_pid")
    exe_pid=""
    for _ in $(seq 100); do
      exe_pid=$(wine_process 'dorrabee\.exe')
      [ -n "$exe_pid" ] && break
      sleep 0.1
    done
    server_pid=$(wine_process 'wineserver')
    [ -n "$exe_pid" ] && [ -n "$server_pid" ] || { echo "| dorrabee.exe | ${mode_name[$mode]} | did not start | | | | |"; continue; }
    mapfile -t rows < <(live_together "$exe_pid" "$server_pid")
    read -r cpu rss pss growth <<<"${rows[0]}"
    read -r server_cpu _ _ _ <<<"${rows[1]}"
    echo "| dorrabee.exe (Win32, Wine) | ${mode_name[$mode]} | $cpu | $server_cpu | $rss | $pss | $growth |"
    kill "$exe_pid" 2>/dev/null || true
    wait "$wine_pid" 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  done
fi
