#!/usr/bin/env bash
# Remakes the pictures of the program in README.md and docs/ from the real
# programs, as they are now: the Linux one on an Xvfb with openbox, the
# Windows one under Wine (scripts/wine-session.sh). Each picture is cut from
# the screen around the pet, its menu or a dialog, at zoom 1 and 2; one
# shows pets on two monitors.
#
#   scripts/screenshots.sh [linux] [windows]    (both by default)
#
# Needs the builds (build/linux, build/windows with its tests) and what the
# end-to-end tests need (scripts/install-deps.sh test).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

if [ "${1:-}" != --inside ]; then
    systems=("$@")
    [ ${#systems[@]} -gt 0 ] || systems=(linux windows)
    for system in "${systems[@]}"; do
        case "$system" in
            linux) bash "$0" --inside linux ;;
            windows)
                "$root/scripts/wine-session.sh" bash "$0" --inside windows
                # An English system: English texts, and Chinese ones when told.
                DORRABEE_CODE_PAGE=1252 "$root/scripts/wine-session.sh" bash "$0" --inside western ;;
            *) echo "screenshots: linux or windows, not '$system'" >&2; exit 2 ;;
        esac
    done
    exit 0
fi
system=$2

export RESOURCES="$root/resources" PET_CHECK="$root/tests/e2e_common/pet_check.py" SHOTS="$root/build/screenshots"
if [ "$system" = linux ]; then
    export DORRABEE="$root/build/linux/dorrabee"
    set -- openbox
    . "$root/tests/e2e_linux/lib.sh"
    prefix=linux
else
    export DORRABEE="$root/build/windows/platform/win32/dorrabee.exe" INSPECT="$root/build/windows/tests/e2e_wine/wine_inspect.exe"
    . "$root/tests/e2e_wine/lib.sh"
    prefix=windows
fi
[ -f "$DORRABEE" ] || { echo "screenshots: $DORRABEE is missing: build the $system preset" >&2; exit 2; }
DESKTOP=(xc:'#4a7aa0')  # a plain desktop
start_display "${WM:-none}"

# cut NAME X Y W H: that part of the screen, kept on it, into docs/NAME.png
cut() {
    local x=$2 y=$3 w=$4 h=$5
    x=$((x < 0 ? 0 : x > 1024 - w ? 1024 - w : x)) y=$((y < 0 ? 0 : y > 768 - h ? 768 - h : y))
    "$IMPORT" -window root "$WORK/screen.png"
    "$CONVERT" "$WORK/screen.png" -crop "${w}x$h+$x+$y" +repage "$root/docs/$1.png"
    echo "docs/$1.png"
}

# The pet standing still (the same place before and after the picture), in
# a W x H cut with the pet in its middle.
cut_pet() {  # cut_pet NAME PET W H
    local before after
    for _ in $(seq 20); do
        before=$(window_position "$2")
        read -r px py <<<"$before"
        cut "$1" $((px + PET_SIDE / 2 - $3 / 2)) $((py + PET_SIDE / 2 - $4 / 2)) "$3" "$4" >/dev/null
        after=$(window_position "$2")
        [ "$before" = "$after" ] && { echo "docs/$1.png"; return 0; }
    done
    fail "the pet never stood still for $1"
}

# A window (with its frame, where a window manager gives one) as it stands.
cut_window() {  # cut_window NAME WINDOW
    local frame x y w h
    frame=$2
    if declare -F top_level >/dev/null; then frame=$(top_level "$2"); fi
    read -r x y < <(window_position "$frame")
    IFS=x read -r w h < <(window_size "$frame")
    cut "$1" "$x" "$y" "$w" "$h"
}

# The menu with the pet it opened beside.
cut_menu() {  # cut_menu NAME PET
    local menu mx my mw mh px py left top right bottom
    menu=$(menu_window) || { fail "no menu"; return; }
    read -r mx my < <(window_position "$menu")
    IFS=x read -r mw mh < <(window_size "$menu")
    read -r px py < <(window_position "$2")
    left=$((px < mx ? px : mx)) top=$((py < my ? py : my))
    right=$((px + PET_SIDE > mx + mw ? px + PET_SIDE : mx + mw))
    bottom=$((py + PET_SIDE > my + mh ? py + PET_SIDE : my + mh))
    cut "$1" $((left - 20)) $((top - 20)) $((right - left + 40)) $((bottom - top + 40))
}

# scale ZOOM: the screen scaled to ZOOM x 100 %, the pet's side to match.
scale() {
    PET_SIDE=$((42 * $1))
    if [ "$prefix" = linux ]; then
        echo "Xft.dpi: $((96 * $1))" | xrdb -merge
    else
        wine reg add "$DESKTOP_KEY" /v LogPixels /t REG_DWORD /d $((96 * $1)) /f >/dev/null 2>&1
    fi
}

# run ZOOM [Key=value...]: starts the pet on a screen scaled to ZOOM x 100 %
# (which chooses the pet's zoom), with those settings.
run() {
    scale "$1"
    shift
    write_ini "$@"
    start_pet
    pet=$(pet_window) || { fail "no pet window"; finish; }
    sleep 1
}
# The Wine prefix is shared by the session: put its scaling back however this ends.
DESKTOP_KEY='HKCU\Control Panel\Desktop'
[ "$prefix" = linux ] || trap 'wine reg delete "$DESKTOP_KEY" /v LogPixels /f >/dev/null 2>&1 || true; cleanup' EXIT

stop() {
    kill "$PET_PID" 2>/dev/null || true
    wait_pet_exit
    if declare -F stop_program >/dev/null; then stop_program; fi
}

# The dialog the menu item KEY opens, titled TITLE, cut once it has played a while.
dialog() {  # dialog NAME KEY TITLE
    local window
    open_menu "$pet" || { fail "the menu does not open"; return; }
    xdotool key "$2"
    window=$(window_named "$3") || { fail "no window titled $3"; return; }
    sleep 2.5  # the About scene plays; the pet walks on below
    cut_window "$1" "$window"
}

# The menu and both dialogs in English (an English system: Windows on code
# page 1252, Linux with LANG=en_US.UTF-8).
english() {  # english PREFIX
    run 1 "Timer=1000"
    open_menu "$pet" || fail "the menu does not open"
    sleep 0.5
    cut_menu "$1-menu-en" "$pet"
    xdotool key Escape
    dialog "$1-about-en" a "About Dorrabee"
    stop
    run 1
    dialog "$1-options-en" o "Dorrabee — Options"
    stop
}

# carry PET X Y: the pet carried by its middle to the screen point and let go.
carry() {
    local x y
    read -r x y < <(pet_point "$1")
    xdotool mousemove "$x" "$y" sleep 0.2 mousedown 1 mousemove 512 300 mousemove "$2" "$3" sleep 0.3 mouseup 1
    sleep 0.3
}

# Two monitors of different sizes, 640 x 768 and 384 x 480 right of it, each
# with a pet on its floor (on Linux the second's is a dock's top); the wide
# lower part of the desk, where no monitor shows drawn dark.
two_monitors() {  # two_monitors PREFIX [Key=value...]
    local name=$1 pets=()
    shift
    scale 1
    write_ini "Timer=1000" "Pets=2" "Pet 1=" "Pet 2=" "$@"
    start_pet
    for _ in $(seq 50); do
        mapfile -t pets < <(pet_windows)
        [ ${#pets[@]} = 2 ] && break
        sleep 0.1
    done
    [ ${#pets[@]} = 2 ] || { fail "two pets do not show"; return; }
    carry "${pets[0]}" 300 765
    carry "${pets[1]}" 830 475
    sleep 1.5
    "$IMPORT" -window root "$WORK/screen.png"
    "$CONVERT" "$WORK/screen.png" -crop 1024x480+0+288 +repage -fill '#1c1c1c' -draw 'rectangle 640,192 1023,479' -draw 'rectangle 639,0 640,191' \
        "$root/docs/$name.png"
    echo "docs/$name.png"
    stop
}

# Slow ticks, so that the pet stands still for its pictures.
if [ "$system" = western ]; then
    english windows
    run 1 "Language=zh"
    dialog windows-western o "Dorrabee — 选项"
    stop
    finish
    exit 0
fi

run 1 "Timer=1000"
cut_pet "$prefix-pet" "$pet" 400 $([ "$prefix" = linux ] && echo 220 || echo 240)
open_menu "$pet" || fail "the menu does not open"
sleep 0.5
cut_menu "$prefix-menu" "$pet"
xdotool key Escape
dialog "$prefix-about" a "关于Dorrabee"
stop

run 1  # Options shows the settings a fresh start has
dialog "$prefix-options" o "Dorrabee — 选项"
stop

run 2 "Timer=1000"
cut_pet "$prefix-pet-zoom2" "$pet" 400 240
dialog "$prefix-about-zoom2" a "关于Dorrabee"
stop
[ "$prefix" = linux ] && PET_LANG=en_US.UTF-8 english linux

if [ "$prefix" = linux ]; then
    split_screen_unequal || fail "xrandr cannot make two monitors"
    start_dock 640 440 1023 480 || fail "no dock window"
    two_monitors linux-two-monitors "Floor At Panel=1"
    kill "$DOCK_PID"
else
    # Wine sees two monitors only through Xinerama: a display of its own.
    kill "$XVFB_PID"
    start_two_monitors
    two_monitors windows-two-monitors
fi
finish
