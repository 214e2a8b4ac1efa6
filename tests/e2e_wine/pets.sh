#!/usr/bin/env bash
# Pets under Wine: with "Pet=" naming a folder beside dorrabee.exe the window
# shows that pet's pixels; the menu's pets sub-menu switches pets (saved, the
# program started anew); a broken pet shows one box, then the built-in cat.
. "$(dirname "$0")/lib.sh"
: "${PETS:?}"
start_display
cp -r "$PETS" "$WORK/pets"
domino_shows() { RESOURCES="$WORK/pets/domino" pet_shows "$1"; }
# Chooses item N (1 = the built-in cat) of the pets sub-menu, by its mnemonic P.
choose_pet() {  # choose_pet PET N
    open_menu "$1" || { fail "the menu does not open"; return 1; }
    xdotool key p
    sleep 0.3
    for _ in $(seq 2 "$2"); do xdotool key Down; sleep 0.1; done
    shot "submenu-$2"
    xdotool key Return
}
saved_pet() { tr -d '\r' <"$WORK/dorra.ini" | grep -qx "Pet=$1"; }

write_ini "Timer=1500" "Pet=domino"
start_pet
pet=$(pet_window) || { fail "no pet window"; finish; }
sleep 0.5
shot domino
check "with Pet=domino the window shows Domino" domino_shows "$pet"

choose_pet "$pet" 1
wait_pet_exit
check "choosing the built-in cat ends this copy (exit $PET_EXIT)" test "$PET_EXIT" = 0
check "and saves the choice" saved_pet ""
pet=$(pet_window) || { fail "no pet window after switching"; finish; }
sleep 0.5
check "the new copy shows the built-in cat" pet_shows "$pet"

choose_pet "$pet" 2
for _ in $(seq 30); do saved_pet domino && break; sleep 0.2; done
check "choosing Domino saves it" saved_pet domino
sleep 1
pet=$(pet_window) || { fail "no pet window after switching back"; finish; }
sleep 0.5
shot domino-again
check "the window shows Domino again" domino_shows "$pet"
wine taskkill /f /im "$PET_EXE" >/dev/null 2>&1 || true
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Dorrabee$' >/dev/null 2>&1 || break; sleep 0.1; done

mkdir "$WORK/pets/broken"
head -c 300 "$PETS/domino/sprites.bmp" >"$WORK/pets/broken/sprites.bmp"
write_ini "Timer=1500" "Pet=broken"
start_pet
check "a broken pet shows one box" boxes_read "broken: sprites.bmp: Bitmap pixel data is truncated"
shot broken-box
close_box
pet=$(pet_window) || { fail "no pet window after the box"; finish; }
sleep 0.5
check "after the box the built-in cat runs" pet_shows "$pet"
check "and no other box" boxes_read ""
check "the settings are left as they were" saved_pet broken
finish
