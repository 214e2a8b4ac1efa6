#!/usr/bin/env bash
# Without a display to draw on, the program says so in its own words and
# ends with code 1: DISPLAY unset, and DISPLAY naming a server that is not there.
# Its command line needs no display: --help answers on standard output, an
# unknown option is refused on standard error with code 2.
set -uo pipefail
: "${DORRABEE:?}"
FAILURES=0
expect_refusal() {  # expect_refusal WHAT TEXT env-arguments...
    local what=$1 text=$2 out status
    shift 2
    out=$(env "$@" "$DORRABEE" 2>&1 </dev/null)
    status=$?
    if [ "$status" = 1 ] && grep -qF "$text" <<<"$out" && ! grep -qi reinstall <<<"$out"; then
        echo "ok: $what"
    else
        echo "FAIL: $what: status $status, said: $out" >&2
        FAILURES=$((FAILURES + 1))
    fi
}
# A display number with no server socket behind it.
number=60999
while [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number - 1)); done
expect_refusal "DISPLAY unset" "DISPLAY is not set" -u DISPLAY
expect_refusal "DISPLAY naming no server" "cannot open the X display \":$number\"" DISPLAY=":$number"

help=$(env -u DISPLAY XDG_CONFIG_HOME=/nonexistent "$DORRABEE" --help 2>/dev/null </dev/null)
status=$?
if [ "$status" = 0 ] && grep -q '^Usage: dorrabee \[--pet FOLDER\]' <<<"$help" && grep -q '^Settings file: /.*dorra\.ini$' <<<"$help"; then
    echo "ok: --help prints the usage and the settings file's place"
else
    echo "FAIL: --help: status $status, said: $help" >&2
    FAILURES=$((FAILURES + 1))
fi
out=$(env -u DISPLAY "$DORRABEE" --frobnicate 2>&1 >/dev/null </dev/null)
status=$?
if [ "$status" = 2 ] && grep -q '^Usage: dorrabee' <<<"$out"; then
    echo "ok: an unknown option prints the usage to standard error and exits 2"
else
    echo "FAIL: an unknown option: status $status, said: $out" >&2
    FAILURES=$((FAILURES + 1))
fi
# An 8-bit screen would show nothing, not even the box that says so.
WORK=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 640x480x8 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
XVFB_PID=$!
trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 200); do [ -s "$WORK/display" ] && break; sleep 0.05; done
expect_refusal "an 8-bit screen" "8 bits a pixel or fewer" DISPLAY=":$(head -n1 "$WORK/display")"
[ "$FAILURES" -eq 0 ]
