# Shared by the Windows end-to-end scripts: a private Xvfb per script, the
# program started under Wine from a folder of its own (so its dorra.ini lands
# there), and probes built on xdotool, xwininfo, pet_check.py and
# wine_inspect.exe (which reads the dialogs' texts from inside the session).
#
# Run inside scripts/wine-session.sh (WINEPREFIX, code page 936), with
# DORRABEE (dorrabee.exe), INSPECT (wine_inspect.exe), RESOURCES,
# PET_CHECK and SHOTS set; ctest sets them.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../e2e_common/x11.sh"

: "${DORRABEE:?}" "${INSPECT:?}" "${RESOURCES:?}" "${PET_CHECK:?}" "${SHOTS:?}"
if [ -z "${WINEPREFIX:-}" ]; then
    echo "run this inside scripts/wine-session.sh, which makes the Wine prefix" >&2
    exit 2
fi
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
IMPORT=/usr/bin/import    # ImageMagick's, whatever else is first on PATH
CONVERT=/usr/bin/convert
NAME=$(basename "$0" .sh)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/dorrabee-wine-$NAME.XXXXXX")
SHOTS="$SHOTS/wine-$NAME"
mkdir -p "$SHOTS"
XVFB_PID="" WM_PID="" PET_PID="" OTHER_PIDS=()
FAILURES=0
PET_EXE=dorrabee.exe
PET_DIR=$WORK    # the folder the program is started from, and keeps dorra.ini in
PET_SIDE=${PET_SIDE:-42}  # the pet window's width and height: 42 times the zoom

cleanup() {
    for pid in $PET_PID "${OTHER_PIDS[@]}" $WM_PID; do kill "$pid" 2>/dev/null || true; done
    # The program's Windows process outlives its loader's death for a moment.
    wine taskkill /f /im "$PET_EXE" >/dev/null 2>&1 || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }
pass() { echo "ok: $*"; }
check() {  # check "what" command...
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
quietly() { "$@" >/dev/null; }
finish() {
    echo "screenshots: $SHOTS"
    [ "$FAILURES" -eq 0 ] || { echo "$FAILURES check(s) failed" >&2; exit 1; }
}

# ---- the display

# start_display [openbox]: a private 1024 x 768 screen with a patterned
# desktop, so that what shows through the pet is checkable.
start_display() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.05; done
    [ -s "$WORK/display" ] || { echo "Xvfb did not start" >&2; exit 2; }
    export DISPLAY=":$(head -n1 "$WORK/display")"
    "$CONVERT" -size 1024x768 gradient:'#2d5f8a-#8fb8d8' "$WORK/desktop.png"
    display -window root "$WORK/desktop.png" 2>/dev/null || true
    # What the screen really shows, to compare the standard mode's window with.
    "$IMPORT" -window root -depth 8 "$WORK/desktop.ppm"
    if [ "${1:-}" = openbox ]; then
        openbox --sm-disable >/dev/null 2>&1 &
        WM_PID=$!
        for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    fi
}

shot() { "$IMPORT" -window root "$SHOTS/$1.png"; }

# ---- the program

write_ini() {  # write_ini "Key=value" ...: dorra.ini beside the program
    { echo "[Setup]"; printf '%s\r\n' "$@"; } >"$PET_DIR/dorra.ini"
}

start_pet() {
    mkdir -p "$PET_DIR"
    cp "$DORRABEE" "$PET_DIR/$PET_EXE"
    (cd "$PET_DIR" && exec wine "$PET_EXE" >"$WORK/pet.log" 2>&1) &
    PET_PID=$!
}

# Waits up to 10 s for the program to end; PET_EXIT is its exit code, or
# "running".
wait_pet_exit() {
    PET_EXIT=running
    for _ in $(seq 100); do kill -0 "$PET_PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$PET_PID" 2>/dev/null && return 0
    PET_EXIT=0
    wait "$PET_PID" || PET_EXIT=$?
    PET_PID=""
}

inspect() { wine "$INSPECT" "$@" 2>/dev/null | tr -d '\r'; }

# Waits for the message boxes to read exactly the given lines.
boxes_read() {  # boxes_read "text" (one line per open box; "" for none)
    local seen
    for _ in $(seq 30); do
        seen=$(inspect boxes)
        [ "$seen" = "$1" ] && return 0
        sleep 0.2
    done
    echo "message boxes read: '${seen}'" >&2
    return 1
}

# pet_check in shaped or standard mode; prints "image=I mirrored=M x=X y=Y".
# A pet that steps between pet_check's look at the window and its
# screenshot does not match, so a few looks are allowed.
pet_shows() {  # pet_shows WINDOW [standard]
    local args=(--display "$DISPLAY" --window "$1" --resources "$RESOURCES") out
    [ "${2:-}" = standard ] && args+=(--mode standard --before "$WORK/desktop.ppm")
    for _ in 1 2 3 4 5; do
        out=$(python3 "$PET_CHECK" "${args[@]}") && { echo "$out"; return 0; }
        sleep 0.05
    done
    echo "$out"
    return 1
}

# Waits up to 6 s for the pet to move or change its image; prints what it
# shows then, or nothing.
pet_changes() {  # pet_changes WINDOW FIRST [standard]
    local now
    for _ in $(seq 20); do
        sleep 0.3
        now=$(pet_shows "$1" "${3:-}") || continue
        [ "$now" != "$2" ] && { echo "$now"; return 0; }
    done
}


# The open pop-up menu: an unnamed window of ours that is not the pet.
menu_window() {
    local id
    for id in $(xdotool search --onlyvisible --classname 'dorrabee.exe' 2>/dev/null); do
        [ "$(window_size "$id")" = "${PET_SIDE}x${PET_SIDE}" ] && continue
        [ -z "$(xdotool getwindowname "$id" 2>/dev/null)" ] && { echo "$id"; return 0; }
    done
    return 1
}

# Right-clicks the pet. The pet may walk away between finding and clicking,
# so the click is tried until a menu shows.
open_menu() {  # open_menu PET
    local x y
    for _ in 1 2 3 4 5 6; do
        read -r x y < <(pet_point "$1")
        xdotool mousemove "$x" "$y" sleep 0.2 click 3
        for _ in $(seq 10); do menu_window >/dev/null && return 0; sleep 0.1; done
    done
    return 1
}

# The program's other visible window titled NAME (a message box, say).
window_named() {
    local id
    for _ in $(seq 50); do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
            [ "$(window_size "$id")" != "${PET_SIDE}x${PET_SIDE}" ] && { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# Presses Return over the open message box, as a user closing it.
close_box() {
    local box x y
    box=$(window_named Dorrabee) || { fail "no message box to close"; return 1; }
    read -r x y < <(window_position "$box")
    xdotool mousemove $((x + 20)) $((y + 10)) sleep 0.2 key Return
    for _ in $(seq 30); do [ -z "$(inspect boxes)" ] && return 0; sleep 0.2; done
    fail "the message box does not close"
}

# Options dialog: a field's text, as wine_inspect reads it.
option_text() { inspect options | awk -v id="$1" '$1 == id { $1 = $2 = $3 = ""; sub(/^ +/, ""); print; exit }'; }
option_count() { inspect options | sed -n 's/^count=//p'; }
option_mode() { inspect options | sed -n 's/^mode=//p'; }

# Moves a dialog (options or about) to the side of the screen the pet is not
# on, so that the pet can be reached.
move_dialog_away() {  # move_dialog_away options|about PET
    local which=$1 w h px py tx ty
    read -r _ _ w h < <(inspect "$1" | sed -n "s/^window=//p")
    shift
    read -r px py < <(window_position "$1")
    tx=$(( px < 512 ? 1024 - w - 10 : 10 )) ty=$(( py < 384 ? 768 - h - 10 : 10 ))
    inspect move "$which" "$tx" "$ty"
    sleep 0.3
}

# Clicks a button or field of the Options dialog.
click_option() {
    local x y
    read -r x y < <(inspect options | awk -v id="$1" '$1 == id { print $2, $3; exit }')
    xdotool mousemove "$x" "$y" sleep 0.1 click 1
}

# Replaces a field's text by typing, as a user would.
type_option() {  # type_option ID TEXT
    click_option "$1"
    xdotool key Home shift+End BackSpace
    [ -n "$2" ] && xdotool type --delay 20 -- "$2"
    return 0
}

no_menu() { ! menu_window >/dev/null; }

choose() {  # choose PET KEY: opens the menu and presses the item's mnemonic
    # Wine may give the pet a new X window (after a dialog was dragged, say):
    # look it up again rather than trust the id found at start.
    local pet
    pet=$(pet_window 20) || pet=$1
    open_menu "$pet" || { fail "the menu does not open"; return 0; }
    xdotool key "$2"
}
