#!/usr/bin/env bash
# The running Linux program's cost: CPU time over a stretch of living at the
# default tick, and its memory, side by side with oneko on the same private
# Xvfb. Usage: bench/linux_process.sh [seconds] [program]
# (defaults: 60 s, build/linux/dorrabee; the program's dorra.ini is not read
# from your folder: it runs from a temporary copy with default settings).
set -euo pipefail
seconds=${1:-60}
program=$(realpath "${2:-build/linux/dorrabee}")
work=$(mktemp -d /tmp/dorrabee-bench.XXXXXX)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -noreset -nolisten tcp 2>/dev/null)
pids+=($!)
read -r number <&3
export DISPLAY=":$number"

cp "$program" "$work/dorrabee"
(cd "$work" && exec ./dorrabee) & pids+=($!); pet=$!
neko=""
if oneko=$(PATH=$PATH:/usr/games command -v oneko); then "$oneko" -position +300+300 & pids+=($!); neko=$!; fi
sleep 5  # past start-up

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }  # user + system, in clock ticks
rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$1/status"; }
pss_kb() { awk '/^Pss:/{print $2}' "/proc/$1/smaps_rollup"; }
hz=$(getconf CLK_TCK)

declare -A before rss_before
for p in $pet $neko; do before[$p]=$(ticks "$p"); rss_before[$p]=$(rss_kb "$p"); done
sleep "$seconds"
printf '%-10s %10s %12s %10s %10s %14s\n' program "cpu s" "% of a core" "RSS MiB" "PSS MiB" "RSS growth KiB"
for p in $pet $neko; do
    used=$(( $(ticks "$p") - before[$p] ))
    name=$([ "$p" = "$pet" ] && echo dorrabee || echo oneko)
    awk -v n="$name" -v u="$used" -v hz="$hz" -v s="$seconds" -v r="$(rss_kb "$p")" -v q="$(pss_kb "$p")" \
        -v r0="${rss_before[$p]}" \
        'BEGIN { printf "%-10s %10.2f %12.3f %10.1f %10.1f %14d\n", n, u / hz, 100 * u / hz / s, r / 1024, q / 1024, r - r0 }'
done
