# What the Linux and Windows end-to-end scripts share: checks and their
# tally, a private Xvfb (optionally with openbox) with a patterned desktop,
# screenshots, the settings file and the program's end, and probes of X
# windows (x11.sh). The including library first sets WORK, SHOTS, PET_DIR
# (the folder the program keeps dorra.ini in), INI_EOL and DESKTOP (ImageMagick
# arguments that draw the desktop), and may define stop_program (run at exit
# before the display goes).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/x11.sh"

IMPORT=/usr/bin/import    # ImageMagick's, whatever else is first on PATH
CONVERT=/usr/bin/convert
PET_SIDE=${PET_SIDE:-42}  # the pet window's width and height: 42 times the zoom
XVFB_PID="" WM_PID="" PET_PID="" OTHER_PIDS=()
FAILURES=0
mkdir -p "$SHOTS"

cleanup() {
    for pid in $PET_PID "${OTHER_PIDS[@]}" $WM_PID; do kill "$pid" 2>/dev/null || true; done
    if declare -F stop_program >/dev/null; then stop_program; fi
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

not() { ! "$@"; }
quietly() { "$@" >/dev/null; }
fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }
pass() { echo "ok: $*"; }
check() {  # check "what" command...
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
eventually() {  # eventually COMMAND...: the command holds within 5 s (polled)
    for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done
    return 1
}
finish() {
    echo "screenshots: $SHOTS"
    [ "$FAILURES" -eq 0 ] || { echo "$FAILURES check(s) failed" >&2; exit 1; }
}

# ---- the display

# serve NAME SERVER ARGS...: starts an X server, which picks a free display
# number (-displayfd) so tests can run side by side; its display in
# SERVED_DISPLAY and its pid in SERVED_PID. $DISPLAY is the host of a nested one.
serve() {
    local name=$1
    shift
    "$@" -displayfd 3 -nolisten tcp -noreset 3>"$WORK/$name" >/dev/null 2>"$WORK/$name.log" &
    SERVED_PID=$!
    for _ in $(seq 200); do [ -s "$WORK/$name" ] && break; sleep 0.05; done
    [ -s "$WORK/$name" ] || { echo "$1 did not start" >&2; cat "$WORK/$name.log" >&2; exit 2; }
    SERVED_DISPLAY=":$(head -n1 "$WORK/$name")"
}

# The desktop drawn on the root, and what it really shows in
# $WORK/desktop.ppm, to compare the standard mode's window with.
draw_desktop() {
    "$CONVERT" -size 1024x768 "${DESKTOP[@]}" "$WORK/desktop.png"
    display -window root "$WORK/desktop.png" 2>/dev/null || true
    "$IMPORT" -window root -depth 8 "ppm:$WORK/desktop.ppm"
}

# start_display [openbox]: a private 1024 x 768 screen with the desktop drawn.
start_display() {
    serve display Xvfb -screen 0 1024x768x24
    XVFB_PID=$SERVED_PID
    export DISPLAY=$SERVED_DISPLAY
    draw_desktop
    if [ "${1:-none}" = openbox ]; then
        openbox --sm-disable >/dev/null 2>&1 &
        WM_PID=$!
        for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    fi
}

# Xvfb's one output is named "screen"; it starts at 1024x768.
shrink_screen() {  # shrink_screen: the screen becomes 640x480, as an unplugged monitor would leave it
    xrandr --newmode 640x480 25.17 640 656 752 800 480 490 492 525 >/dev/null 2>&1
    xrandr --addmode screen 640x480
    xrandr --output screen --mode 640x480 --fb 640x480
}
restore_screen() { xrandr --output screen --mode 1024x768 --fb 1024x768; }

shot() {  # shot NAME: the whole screen into $SHOTS/NAME.png
    "$IMPORT" -window root "$SHOTS/$1.png"
}

# pet_check on the pet, a few times: a pet that steps between the checker's
# look at the window and its screenshot spoils one look. "standard" checks
# the standard mode against the desktop, "shaped" (or "") the others; other
# options go to pet_check.
pet_shows() {  # pet_shows WINDOW [standard | shaped | pet_check options...]
    local args=(--display "$DISPLAY" --window "$1" --resources "$RESOURCES") out
    shift
    case "${1-}" in
        standard) args+=(--mode standard --before "$WORK/desktop.ppm"); shift ;;
        shaped | "") [ $# -eq 0 ] || shift ;;
    esac
    for _ in 1 2 3 4 5; do
        out=$(python3 "$PET_CHECK" "${args[@]}" "$@") && { echo "$out"; return 0; }
        sleep 0.1
    done
    echo "$out"
    return 1
}

# A pet folder whose every image is one mirror-symmetric picture with alpha
# (an opaque red disc with a soft edge in a faint blue halo, below one half),
# on a sheet of 20 x 6 cells of SIDE pixels (pet.ini says so).
make_alpha_pet() {  # make_alpha_pet FOLDER SIDE
    mkdir -p "$1"
    python3 - "$@" <<'PY'
import struct, sys, zlib
folder, side = sys.argv[1], int(sys.argv[2])
def covered(x, y, radius):  # of 4 x 4 samples of the pixel, within radius of the middle
    return sum(((x + (i + .5) / 4 - side / 2) ** 2 + (y + (j + .5) / 4 - side / 2) ** 2 <= radius ** 2)
               for i in range(4) for j in range(4)) / 16
cell = []
for y in range(side):
    for x in range(side):
        disc, halo = covered(x, y, .3 * side), .35 * covered(x, y, .45 * side) * (1 - covered(x, y, .3 * side))
        alpha = disc + halo
        rgb = [round((d * disc + h * halo) / alpha) if alpha else 0 for d, h in zip((200, 40, 40), (40, 90, 200))]
        cell.append(bytes(rgb + [round(alpha * 255)]))
open(folder + "/pet.ini", "w").write("[Pet]\nName=Glass\nCellWidth=%d\nCellHeight=%d\n" % (side, side))
rows = [b"\0" + b"".join(cell[y * side:(y + 1) * side]) * 20 for y in range(side)] * 6
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
open(folder + "/sprites.png", "wb").write(
    b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side * 20, side * 6, 8, 6, 0, 0, 0))
    + chunk(b"IDAT", zlib.compress(b"".join(rows))) + chunk(b"IEND", b""))
PY
}

# xcompmgr on the display. It paints no root picture, so the desktop becomes
# a window at the bottom, and what the screen shows is looked at again.
start_compositing_manager() {
    xcompmgr >"$WORK/xcompmgr.log" 2>&1 &
    OTHER_PIDS+=($!)
    eventually compositing_manager_runs || { fail "xcompmgr does not start"; return 1; }
    display -backdrop -geometry +0+0 "$WORK/desktop.png" >/dev/null 2>&1 &
    OTHER_PIDS+=($!)
    sleep 1
    "$IMPORT" -window root -depth 8 "ppm:$WORK/desktop.ppm"
}

# ---- the program

# A fontconfig setup that knows the DejaVu fonts alone, none of which has
# Chinese: what a program started with FONTCONFIG_FILE set to it can draw.
latin_fonts_only() {
    printf '<?xml version="1.0"?>\n<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir><cachedir>%s</cachedir></fontconfig>\n' \
        "$WORK/font-cache" >"$WORK/latin-fonts.conf"
    echo "$WORK/latin-fonts.conf"
}

write_ini() {  # write_ini "Key=value" ...: the [Setup] section of the program's dorra.ini
    { printf "[Setup]$INI_EOL"; printf "%s$INI_EOL" "$@"; } >"$PET_DIR/dorra.ini"
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

# The program's other visible window titled exactly NAME (a dialog, a box).
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

# Right-clicks the pet until a menu (menu_window) shows: the pet may walk
# away between finding it and clicking.
open_menu() {  # open_menu PET
    local x y
    for _ in 1 2 3 4 5 6; do
        read -r x y < <(pet_point "$1")
        xdotool mousemove "$x" "$y" sleep 0.2 click 3
        for _ in $(seq 10); do menu_window >/dev/null && return 0; sleep 0.1; done
    done
    return 1
}

# ---- the notification area

# An XEmbed tray (trayer) along the top right of the screen, as a panel holds one.
start_tray() {
    trayer --edge top --align right --widthtype pixel --width 100 --height 32 --transparent false \
        --tint 0x404040 >/dev/null 2>&1 &
    OTHER_PIDS+=($!)
    for _ in $(seq 50); do xdotool search --onlyvisible --class '^trayer$' >/dev/null 2>&1 && break; sleep 0.1; done
    # It claims the tray's selection a moment after its panel shows; an icon
    # offered before that stays out of it (Wine's does).
    sleep 1
}

# The middle of the icon docked in the tray: a window inside the tray's panel.
tray_icon() {
    local panel px py pw ph id x y w h
    for _ in $(seq 50); do
        panel=$(xdotool search --onlyvisible --class '^trayer$' 2>/dev/null | head -n1)
        if [ -n "$panel" ]; then
            read -r px py < <(window_position "$panel")
            IFS=x read -r pw ph < <(window_size "$panel")
            for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
                [ "$id" = "$panel" ] && continue
                read -r x y < <(window_position "$id")
                IFS=x read -r w h < <(window_size "$id")
                if [ "$w" -ge 8 ] && [ "$w" -lt "$pw" ] && [ "$x" -ge "$px" ] && [ "$y" -ge "$py" ] &&
                   [ $((x + w)) -le $((px + pw)) ] && [ $((y + h)) -le $((py + ph)) ]; then
                    echo $((x + w / 2)) $((y + h / 2))
                    return 0
                fi
            done
        fi
        sleep 0.1
    done
    return 1
}

# Right-clicks the icon until its menu (menu_window) shows, then presses the item's mnemonic.
tray_choose() {  # tray_choose KEY
    local x y
    read -r x y < <(tray_icon) || return 1
    for _ in 1 2 3; do
        xdotool mousemove "$x" "$y" sleep 0.2 click 3
        for _ in $(seq 20); do
            if menu_window >/dev/null; then xdotool key "$1"; sleep 0.3; return 0; fi
            sleep 0.1
        done
    done
    return 1
}

tray_click() {
    local x y
    read -r x y < <(tray_icon) || return 1
    xdotool mousemove "$x" "$y" sleep 0.2 click 1
}

# The pet window shows at the middle of the floor of a 1024 x 768 screen
# (give or take the steps it took since).
pet_at_floor() {  # pet_at_floor PET
    local x y
    xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 1
    read -r x y < <(window_position "$1")
    [ "$y" = $((768 - PET_SIDE)) ] && [ "$x" -ge $(((1024 - PET_SIDE) / 2 - 60)) ] &&
        [ "$x" -le $(((1024 - PET_SIDE) / 2 + 60)) ]
}
pet_unmapped() { xwininfo -id "$1" 2>/dev/null | grep -q IsUnMapped; }

# Puts the pet away and calls it back from the icon's menu.
check_tray_put_away_and_call_back() {  # check_tray_put_away_and_call_back PET
    check "the icon shows in the tray" quietly tray_icon
    shot tray
    tray_choose h || fail "the icon's menu does not open"
    check "Put away from the icon's menu unmaps the pet" eventually pet_unmapped "$1"
    sleep 1
    check "a pet put away stays away" pet_unmapped "$1"
    shot put-away
    tray_choose h || fail "the icon's menu does not open"
    check "called back from the icon's menu, the pet shows at the middle of the floor" eventually pet_at_floor "$1"
    shot called-back
}
