#!/usr/bin/env bash
# The pet on a screen scaled to 200 % (the X resource Xft.dpi: 192): an
# 84 x 84 window whose shape and pixels are an image of the sheet in 2 x 2
# blocks, fenced in by the margins in screen pixels while it is carried and
# while it walks, and an About dialog whose pictures are twice their size.
PET_SIDE=84
. "$(dirname "$0")/lib.sh"
start_display "$WM"
echo "Xft.dpi: 192" | xrdb -merge
margins=("Left Margin=101" "Top Margin=51" "Right Margin=31" "Bottom Margin=21")

# Slow ticks: the checker looks at a pet that stands still.
write_ini "Timer=1500" "${margins[@]}"
start_pet
pet=$(pet_window) || { fail "no 84x84 pet window"; finish; }
pass "an 84x84 window titled Dorrabee appears"
sleep 0.5
shot zoomed-pet
check "its shape and pixels are one image of the sheet in 2x2 blocks" pet_shows "$pet" --zoom 2

carry() {  # carry PET X Y: holds the pet and carries the pointer to (X, Y)
    local x y
    read -r x y < <(pet_point "$1")
    xdotool mousemove "$x" "$y" mousedown 1 sleep 0.2 mousemove $(((x + $2) / 2)) $(((y + $3) / 2)) sleep 0.2 \
        mousemove "$2" "$3" sleep 0.3 mouseup 1
    sleep 0.3
}
carry "$pet" 500 400
read -r px py < <(window_position "$pet")
check "a drag carries it under the pointer (window at $px,$py)" \
    test "$px" -le 500 -a $((px + 84)) -gt 500 -a "$py" -le 400 -a $((py + 84)) -gt 400
# The margins round up to whole pet pixels: 101 -> 102, 51 -> 52, and on
# the right 1024 - 84 - 32 = 908, at the bottom 768 - 84 - 22 = 662.
carry "$pet" 0 0
check "carried to the top-left it stops at the margins" test "$(window_position "$pet")" = "102 52"
carry "$pet" 1023 767
check "carried to the bottom-right it stops at the margins" test "$(window_position "$pet")" = "908 662"

open_menu_item "$pet" a
about=$(window_named "关于Dorrabee") || { fail "About does not open"; finish; }
sleep 0.8
shot zoomed-about
read -r ax ay < <(window_position "$about")
IFS=x read -r aw ah < <(window_size "$about")
# Qt paints the dialog through its own buffers, which shift a colour by a
# level or three; the blocks and places must still be exact.
about_check() {
    python3 "$(dirname "$PET_CHECK")/../e2e_wine/about_check.py" --display "$DISPLAY" --zoom 2 --tolerance 4 \
        --client "$ax $ay $aw $ah" --resources "$RESOURCES" --pet-check "$PET_CHECK"
}
if look=$(about_check); then pass "About's title and scene are twice their size: $look"; else fail "$look"; fi
xdotool key Escape
open_menu_item "$pet" e
wait_pet_exit
check "Exit ends the program (got $PET_EXIT)" test "$PET_EXIT" = 0

# Quick ticks: the pet walks, and every place it takes is inside the margins.
write_ini "Timer=20" "${margins[@]}"
start_pet
pet=$(pet_window) || { fail "no pet window the second time"; finish; }
PLACES=() OUTSIDE=""
sample_places "$pet" 40 0.1 102 52 908 662
check "it walks (${PLACES[0]} ... ${PLACES[-1]})" test "$(printf '%s\n' "${PLACES[@]}" | sort -u | wc -l)" -ge 2
check "it stays inside the margins${OUTSIDE:+ (left them at$OUTSIDE)}" test -z "$OUTSIDE"
finish
