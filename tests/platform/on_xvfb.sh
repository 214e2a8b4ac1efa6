#!/usr/bin/env bash
# Runs a command on an Xvfb of its own, which ends with it. With
# --two-monitors first, the 1024 x 768 screen is two RandR monitors side by
# side, the primary on the right: the seam's points then count from a
# corner that is not the root's. EXPECTED_MONITORS tells the command what
# the desk is (x,y,width,height each, the primary first, from its corner).
set -euo pipefail
two_monitors=false
if [ "${1:-}" = --two-monitors ]; then two_monitors=true; shift; fi
work="$(mktemp -d)"
xvfb=""
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 2; }
export DISPLAY=":$(head -n1 "$work/display")"
export EXPECTED_MONITORS="0,0,1024,768"
if $two_monitors; then
    xrandr --setmonitor '*right' 512/135x768/203+512+0 screen >/dev/null
    xrandr --setmonitor left 512/135x768/203+0+0 none >/dev/null
    EXPECTED_MONITORS="0,0,512,768 -512,0,512,768"
fi
QT_QPA_PLATFORM=xcb "$@"
