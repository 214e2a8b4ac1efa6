#!/usr/bin/env bash
# Settings read from dorra.ini at start: the three display modes, the margins
# that fence in a dragged pet, and margins that do not fit the screen.
. "$(dirname "$0")/lib.sh"
start_display "$WM"

stop_pet() {
    open_menu_item "$1" e
    wait_pet_exit
    check "Exit ends the program with code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0
}

# drag_to PET X Y: holds the pet and carries the pointer to (X, Y).
drag_to() {
    local x y
    read -r x y < <(pet_point "$1")
    xdotool mousemove "$x" "$y" mousedown 1
    for step in 1 2 3 4; do
        xdotool mousemove $((x + ($2 - x) * step / 4)) $((y + ($3 - y) * step / 4))
        sleep 0.1
    done
}

# ---- standard mode: a square window, the desktop showing through the key colour
"$IMPORT" -window root -depth 8 "ppm:$WORK/desktop.ppm"
write_ini "Mode=0" "Timer=1500" "Left Margin=100" "Top Margin=50" "Right Margin=200" "Bottom Margin=100"
start_pet
pet=$(pet_window) || { fail "no pet window (standard mode)"; finish; }
sleep 0.5
shot standard-mode
check "standard mode: the desktop shows through the key colour" \
    pet_shows "$pet" --mode standard --before "$WORK/desktop.ppm"

# Dragging far beyond the corners leaves the pet at the margins.
drag_to "$pet" 0 0
check "dragged beyond the top-left corner, the pet stops at the margins" \
    test "$(window_position "$pet")" = "100 50"
drag_to "$pet" 1023 767
shot standard-mode-dragged
check "dragged beyond the bottom-right corner, it stops at the margins" \
    test "$(window_position "$pet")" = "$((1024 - 42 - 200)) $((768 - 42 - 100))"
xdotool mouseup 1
sleep 2
check "after a drag the desktop still shows through exactly" \
    pet_shows "$pet" --mode standard --before "$WORK/desktop.ppm"
stop_pet "$pet"

# A walking cat in the standard mode: each step's backdrop, read ahead of it
# or not, is exactly the desktop (this seed walks, then runs, along the top).
write_ini "Mode=0"
DORRABEE_SEED=274 start_pet
pet=$(pet_window) || { fail "no pet window (standard mode, walking)"; finish; }
walks_over_the_desktop() {
    local first look
    first=$(window_position "$1")
    for look in 1 2 3 4; do
        pet_shows "$1" standard >/dev/null || return 1
        sleep 0.6
    done
    [ "$(window_position "$1")" != "$first" ]
}
sleep 1
check "walking in the standard mode, the desktop shows through exactly at every look" walks_over_the_desktop "$pet"
stop_pet "$pet"

# ---- outlines made as needed
write_ini "Mode=2" "Timer=1500"
start_pet
pet=$(pet_window) || { fail "no pet window (live outlines)"; finish; }
sleep 0.5
check "live outlines: shape and pixels are one image" \
    pet_shows "$pet"
stop_pet "$pet"

# ---- margins that leave no room: a box at start, then no margins at all
write_ini "Timer=1500" "Left Margin=500" "Right Margin=483"
start_pet
if window_named Dorrabee >/dev/null; then
    pass "margins that do not fit raise a box before the pet appears"
    shot invalid-margins
    check "the pet waits for the box" not pet_visible
    xdotool key Return
else
    fail "margins that do not fit raise no box"
fi
pet=$(pet_window) || { fail "no pet window after the box"; finish; }
drag_to "$pet" 1023 0
check "the margins in use are all 0 (dragged to the top-right corner)" \
    test "$(window_position "$pet")" = "$((1024 - 42)) 0"
xdotool mouseup 1
stop_pet "$pet"
finish
