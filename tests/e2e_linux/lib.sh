# Shared by the Linux end-to-end scripts: a private Xvfb (optionally with
# openbox), the program started from a folder of its own so that its
# dorra.ini lands there, and small probes built on xdotool and xwininfo.
#
# Each script is run as:  script.sh none|openbox
# with DORRABEE (the program), RESOURCES (resources/), PET_CHECK
# (tests/e2e_common/pet_check.py) and SHOTS (where screenshots go) set.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../e2e_common/x11.sh"

WM=${1:-none}
PET_SIDE=${PET_SIDE:-42}  # the pet window's width and height: 42 times the zoom
: "${DORRABEE:?}" "${RESOURCES:?}" "${PET_CHECK:?}" "${SHOTS:?}"
IMPORT=/usr/bin/import    # ImageMagick's, whatever else is first on PATH
CONVERT=/usr/bin/convert
WORK=$(mktemp -d /tmp/dorrabee-e2e.XXXXXX)
SHOTS="$SHOTS/$(basename "$0" .sh)-$WM"
mkdir -p "$SHOTS"
XVFB_PID="" WM_PID="" PET_PID="" OTHER_PIDS=()
FAILURES=0

cleanup() {
    for pid in $PET_PID "${OTHER_PIDS[@]}" $WM_PID $XVFB_PID; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

not() { ! "$@"; }
fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }
pass() { echo "ok: $*"; }
check() {  # check "what" command...
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
    echo "screenshots: $SHOTS"
    [ "$FAILURES" -eq 0 ] || { echo "$FAILURES check(s) failed" >&2; exit 1; }
}

# ---- the display

start_display() {
    # -displayfd picks a free display number, so tests can run side by side.
    exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -noreset -nolisten tcp 2>"$WORK/xvfb.log")
    XVFB_PID=$!
    local number
    read -r -t 10 number <&3 || { echo "Xvfb did not start" >&2; cat "$WORK/xvfb.log" >&2; exit 2; }
    export DISPLAY=":$number"
    # A patterned desktop, so that what shows through the pet is checkable.
    "$CONVERT" -size 1024x768 pattern:checkerboard -fill '#3070a0' -colorize 50% "$WORK/desktop.png"
    display -window root "$WORK/desktop.png" 2>/dev/null || true
    if [ "$WM" = openbox ]; then
        openbox --sm-disable >/dev/null 2>&1 &
        WM_PID=$!
        for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    fi
}

shot() {  # shot NAME: the whole screen into $SHOTS/NAME.png
    "$IMPORT" -window root "$SHOTS/$1.png"
}

# pet_check on the pet, a few times: a tick that falls between the
# checker's look at the window and its screenshot spoils one look.
pet_shows() {  # pet_shows WINDOW [pet_check options...]
    local window=$1 out
    shift
    for _ in 1 2 3 4; do
        out=$(python3 "$PET_CHECK" --display "$DISPLAY" --window "$window" --resources "$RESOURCES" "$@") &&
            { echo "$out"; return 0; }
        sleep 0.2
    done
    echo "$out"
    return 1
}

# ---- the program

# write_ini "Key=value" ...: the [Setup] section of the program's dorra.ini
write_ini() {
    { echo "[Setup]"; printf '%s\n' "$@"; } >"$WORK/dorra.ini"
}

start_pet() {
    [ -e "$WORK/dorrabee" ] || cp "$DORRABEE" "$WORK/dorrabee"
    (cd "$WORK" && exec env QT_QPA_PLATFORM= ./dorrabee >"$WORK/pet.log" 2>&1) &
    PET_PID=$!
}


# The child of the root that holds a window: itself, or a window manager's frame.
top_level() {
    local window=$1 parent root
    root=$(xwininfo -root | awk '/Window id:/{print $4; exit}')
    while parent=$(xwininfo -id "$window" -tree | awk '/Parent window id:/{print $4; exit}') &&
          [ -n "$parent" ] && [ "$((parent))" != "$((root))" ]; do
        window=$parent
    done
    echo "$window"
}

# True when window A is stacked above window B (xwininfo lists the root's
# children topmost first).
stacked_above() {
    local a b
    a=$(($(top_level "$1"))) b=$(($(top_level "$2")))
    for id in $(xwininfo -root -children | awk '$1 ~ /^0x/ {print $1}'); do
        [ "$((id))" = "$a" ] && return 0
        [ "$((id))" = "$b" ] && return 1
    done
    return 1
}

# True when A, wherever it overlaps the pet, is stacked above it.
above_pet_where_they_meet() {  # above_pet_where_they_meet WINDOW PET
    local ax ay aw ah px py
    read -r ax ay < <(window_position "$1")
    IFS=x read -r aw ah < <(window_size "$1")
    read -r px py < <(window_position "$2")
    if [ $((px + PET_SIDE)) -le "$ax" ] || [ "$px" -ge $((ax + aw)) ] ||
       [ $((py + PET_SIDE)) -le "$ay" ] || [ "$py" -ge $((ay + ah)) ]; then
        echo "(the pet walked off it)"
        return 0
    fi
    stacked_above "$1" "$2"
}

# The program's other visible windows titled exactly NAME (dialogs, boxes).
window_named() {
    local id
    for _ in $(seq 50); do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
            if [ "$(window_size "$id")" != "${PET_SIDE}x${PET_SIDE}" ]; then echo "$id"; return 0; fi
        done
        sleep 0.1
    done
    return 1
}

pet_visible() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Dorrabee$' 2>/dev/null); do
        [ "$(window_size "$id")" = "${PET_SIDE}x${PET_SIDE}" ] && return 0
    done
    return 1
}

no_window_named() {
    local id
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        [ "$(window_size "$id")" = "${PET_SIDE}x${PET_SIDE}" ] || return 1
    done
    return 0
}

# Right-clicks the pet and presses the item's mnemonic. The pet may walk away
# between finding it and clicking, so the click is tried again until a menu
# shows.
open_menu_item() {  # open_menu_item PET KEY
    local x y
    for _ in 1 2 3 4 5; do
        read -r x y < <(pet_point "$1")
        xdotool mousemove "$x" "$y" click 3
        sleep 0.5
        if menu_window >/dev/null; then
            xdotool key "$2"
            return 0
        fi
    done
    shot menu-does-not-open
    fail "the menu does not open (pet at $(window_position "$1"), last click at $x $y)"
    return 1
}

# Waits up to 5 s for the program to end and sets PET_EXIT to its exit
# code ("running" if it has not ended).
wait_pet_exit() {
    PET_EXIT=running
    for _ in $(seq 50); do kill -0 "$PET_PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$PET_PID" 2>/dev/null && return 0
    PET_EXIT=0
    wait "$PET_PID" || PET_EXIT=$?
    PET_PID=""
}
