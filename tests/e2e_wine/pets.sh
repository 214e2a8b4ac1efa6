#!/usr/bin/env bash
# Pets under Wine: with "Pet=" naming a folder beside dorrabee.exe the window
# shows that pet's pixels; the menu's pets sub-menu adds pets beside it, each
# with its own pixels, and sends the clicked one away; after Exit a new start
# brings the same company back; a broken pet shows one box, then the
# built-in cat; a PNG pet with alpha is blended over the desktop.
. "$(dirname "$0")/lib.sh"
: "${PETS:?}"
start_display
cp -r "$PETS" "$WORK/pets"
domino_shows() { RESOURCES="$WORK/pets/domino" pet_shows "$1"; }
# Adds item N (1 = the built-in cat) of the pets sub-menu, by its mnemonic P.
add_pet() {  # add_pet PET N
    open_menu "$1" || { fail "the menu does not open"; return 1; }
    xdotool key p
    sleep 0.3
    for _ in $(seq 2 "$2"); do xdotool key Down; sleep 0.1; done
    shot "submenu-$2"
    xdotool key Return
}
# The living pets by what they show: "CATS DOMINOES" (Wine may give a pet a
# new X window, so kinds are counted rather than ids kept).
company() {
    local id cats=0 dominoes=0
    for id in $(pet_windows); do
        if domino_shows "$id" >/dev/null 2>&1; then dominoes=$((dominoes + 1))
        elif pet_shows "$id" >/dev/null 2>&1; then cats=$((cats + 1)); fi
    done
    echo "$cats $dominoes"
}
company_is() { [ "$(company)" = "$1 $2" ]; }  # company_is CATS DOMINOES
a_cat() {
    local id
    for id in $(pet_windows); do domino_shows "$id" >/dev/null 2>&1 || { echo "$id"; return 0; }; done
    return 1
}
a_domino() {
    local id
    for id in $(pet_windows); do domino_shows "$id" >/dev/null 2>&1 && { echo "$id"; return 0; }; done
    return 1
}
saved() { tr -d '\r' <"$WORK/dorra.ini" | grep -qx "$1"; }

write_ini "Timer=1500" "Pet=domino"
start_pet
pet=$(pet_window) || { fail "no pet window"; finish; }
sleep 0.5
shot domino
check "with Pet=domino the window shows Domino" domino_shows "$pet"

add_pet "$pet" 1
check "the built-in cat joins Domino" eventually pets_living 2
add_pet "$(pet_window 20)" 2
check "and a second Domino" eventually pets_living 3
sleep 0.5
shot three-pets
check "each shows its own pixels: a cat and two Dominoes" company_is 1 2

# Carried over a Domino, the cat shows above it through a tick.
cat=$(a_cat) && domino=$(a_domino) && carry_over "$cat" "$domino" || fail "the cat cannot be taken hold of"
sleep 0.45  # a few ticks, not so many that the Domino walks off
shot carried-over
check "held over a Domino" overlapping "$cat" "$domino"
check "the carried cat shows above the Domino it is held over" pet_shows "$cat"
# Put down away from the others, so that sending it away uncovers none.
xdotool mousemove 700 650 sleep 0.3 mouseup 1

cat=$(a_cat) && open_menu "$cat" && xdotool key p && sleep 0.3 && xdotool key s
check "sending the cat away leaves the two Dominoes" eventually pets_living 2
check "  which still show Domino" company_is 0 2
add_pet "$(pet_window 20)" 1
check "a cat again makes three" eventually pets_living 3

choose "$pet" e
wait_pet_exit
check "Exit ends the program with every pet (exit $PET_EXIT)" test "$PET_EXIT" = 0
check "and saves the company" saved "Pets=3"
check "  Domino first" saved "Pet 1=domino"
start_pet
check "a new start brings three pets back" eventually pets_living 3
sleep 0.5
shot company-back
check "  a cat and two Dominoes" company_is 1 2
stop_program
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
check "the settings are left as they were" saved "Pet=broken"
choose "$pet" e
wait_pet_exit

# A 96-pixel PNG pet with alpha is a layered window: under a compositing manager each
# of its pixels is its picture over the desktop.
make_alpha_pet "$WORK/pets/glass" 96
PET_SIDE=96
start_compositing_manager
write_ini "Timer=1500" "Pet=glass"
start_pet
pet=$(pet_window) || { fail "no window for the PNG pet"; finish; }
sleep 0.5
shot glass-composited
check "a PNG pet's layered window shows its soft edges blended over the desktop" \
    pet_shows "$pet" --mode alpha --resources "$WORK/pets/glass" --before "$WORK/desktop.ppm"
finish
