# Shared by the Windows end-to-end scripts (beside tests/e2e_common/lib.sh):
# the program started under Wine from a folder of its own (so its dorra.ini
# lands there), and probes built on wine_inspect.exe (which reads the
# dialogs' texts from inside the session).
#
# Run inside scripts/wine-session.sh (WINEPREFIX, code page 936), with
# DORRABEE (dorrabee.exe), INSPECT (wine_inspect.exe), RESOURCES,
# PET_CHECK and SHOTS set; ctest sets them.
: "${DORRABEE:?}" "${INSPECT:?}" "${RESOURCES:?}" "${PET_CHECK:?}" "${SHOTS:?}"
if [ -z "${WINEPREFIX:-}" ]; then
    echo "run this inside scripts/wine-session.sh, which makes the Wine prefix" >&2
    exit 2
fi
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
NAME=$(basename "$0" .sh)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/dorrabee-wine-$NAME.XXXXXX")
SHOTS="$SHOTS/wine-$NAME"
PET_EXE=dorrabee.exe
PET_DIR=$WORK    # the folder the program is started from, and keeps dorra.ini in
INI_EOL='\r\n'
DESKTOP=(gradient:'#2d5f8a-#8fb8d8')
WINE_SESSION_DISPLAY=${DISPLAY:-}  # where the session's Wine desktop stands
. "$HERE/../e2e_common/lib.sh"

# Wine measures the screen on the display its desktop process opened, which
# is the session's: a script that changes its own screen first moves Wine's
# desktop onto it (a fresh server), and leaves the session a warm server on
# its display again at exit (stop_program). The scripts of a session run one
# at a time, so no other script loses its server.
WINE_DESKTOP_MOVED=""
wine_desktop_here() {
    wineserver -k 2>/dev/null || true
    wineserver -w
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    WINE_DESKTOP_MOVED=1
}
wine_desktop_back() {
    wineserver -k 2>/dev/null || true
    wineserver -w
    DISPLAY=$WINE_SESSION_DISPLAY wineserver -p </dev/null >/dev/null 2>&1
    DISPLAY=$WINE_SESSION_DISPLAY wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# The program's Windows process outlives its loader's death for a moment.
stop_program() {
    wine taskkill /f /im "$PET_EXE" >/dev/null 2>&1 || true
    [ -z "$WINE_DESKTOP_MOVED" ] || wine_desktop_back
    [ -z "$HOST_PID" ] || kill "$HOST_PID" 2>/dev/null || true
}

# In place of start_display: two monitors as Wine sees them, and Wine's
# desktop moved there. Wine reads Xinerama (or RandR outputs), not the RandR
# 1.5 monitors Qt reads, so this is Xephyr with two screens joined by
# Xinerama, inside a private Xvfb that hosts its windows: 640 x 768 and,
# right of it, 384 x 480, which leaves a dead zone of 384 x 288 below the
# second.
HOST_PID=""
start_two_monitors() {
    serve host Xvfb -screen 0 1100x800x24
    HOST_PID=$SERVED_PID
    DISPLAY=$SERVED_DISPLAY serve display Xephyr -screen 640x768 -screen 384x480 +xinerama -extension RANDR
    XVFB_PID=$SERVED_PID
    export DISPLAY=$SERVED_DISPLAY
    draw_desktop
    wine_desktop_here
}

start_pet() {
    mkdir -p "$PET_DIR"
    cp "$DORRABEE" "$PET_DIR/$PET_EXE"
    (cd "$PET_DIR" && exec wine "$PET_EXE" >"$WORK/pet.log" 2>&1) &
    PET_PID=$!
}

inspect() { wine "$INSPECT" "$@" 2>/dev/null | tr -d '\r'; }
wine_screen_is() { [ "$(inspect screen)" = "$1" ]; }  # wine_screen_is "W H"

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


# The open pop-up menu: an unnamed top-level window of ours that is not the pet.
menu_window() {
    local id
    for id in $(xdotool search --onlyvisible --classname 'dorrabee.exe' 2>/dev/null); do
        [ "$(window_size "$id")" = "${PET_SIDE}x${PET_SIDE}" ] || ! under_root "$id" && continue
        [ -z "$(xdotool getwindowname "$id" 2>/dev/null)" ] && { echo "$id"; return 0; }
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
