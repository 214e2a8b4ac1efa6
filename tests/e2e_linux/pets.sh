#!/usr/bin/env bash
# Pets: with "Pet=" naming a folder beside the program the window shows that
# pet's pixels; the menu's pets sub-menu switches to the other pet (saved,
# the program started anew); a broken pet shows one box, then the built-in cat.
. "$(dirname "$0")/lib.sh"
: "${PETS:?}"
start_display "$WM"
cp -r "$PETS" "$WORK/pets"

# A copy started anew by the program is no child of ours: end it with the rest.
adopt() { OTHER_PIDS+=("$(xdotool getwindowpid "$1")"); }

write_ini "Timer=1500" "Pet=domino"
start_pet
pet=$(pet_window) || { fail "no pet window"; finish; }
sleep 0.5
shot domino
check "with Pet=domino the window shows Domino" pet_shows "$pet" --resources "$WORK/pets/domino"
check "and none of the built-in cat's images" not pet_shows "$pet"

# Back to the built-in cat through the menu: 宠物 (P), its first item.
open_menu_item "$pet" p && sleep 0.5 && shot submenu && xdotool key Return
wait_pet_exit
check "choosing the built-in cat ends this copy (exit $PET_EXIT)" test "$PET_EXIT" = 0
check "and saves the choice" grep -qx "Pet=" "$WORK/dorra.ini"
pet=$(pet_window) || { fail "no pet window after switching"; finish; }
adopt "$pet"
sleep 0.5
check "the new copy shows the built-in cat" pet_shows "$pet"

# And to Domino again: the second item.
open_menu_item "$pet" p && sleep 0.5 && xdotool key Down && sleep 0.2 && xdotool key Return
check "choosing Domino saves it" eventually grep -qx "Pet=domino" "$WORK/dorra.ini"
pet=$(pet_window) || { fail "no pet window after switching back"; finish; }
adopt "$pet"
sleep 0.5
shot domino-again
check "the window shows Domino again" pet_shows "$pet" --resources "$WORK/pets/domino"
kill "${OTHER_PIDS[@]}" 2>/dev/null || true
sleep 0.5

mkdir "$WORK/pets/broken"
head -c 300 "$PETS/domino/sprites.bmp" >"$WORK/pets/broken/sprites.bmp"
write_ini "Timer=1500" "Pet=broken"
start_pet
box=$(window_named Dorrabee) || fail "a broken pet shows no box"
shot broken-box
check "no pet before the box is closed" not pet_visible
[ -n "$box" ] && xdotool windowfocus --sync "$box" key Return
pet=$(pet_window) || { fail "no pet window after the box"; finish; }
sleep 0.5
check "after one box the built-in cat runs" pet_shows "$pet"
check "and no second box" no_window_named Dorrabee
check "the settings are left as they were" grep -qx "Pet=broken" "$WORK/dorra.ini"
finish
