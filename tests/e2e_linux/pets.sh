#!/usr/bin/env bash
# Pets: with "Pet=" naming a folder beside the program the window shows that
# pet's pixels; the menu's pets sub-menu adds a pet of any kind beside the
# others, each with its own pixels, and sends the clicked one away; after
# Exit a new start brings the same company back; a broken pet shows one box,
# then the built-in cat. A numbered frame set drawn by artgen, brought
# across by dorrabee-sim --import-shimeji, starts as a 128-pixel pet showing
# its own pixels. A PNG pet with alpha has a clean edge on bare X and soft
# ones blended under a compositing manager.
. "$(dirname "$0")/lib.sh"
: "${PETS:?}" "${SIM:?}" "${SOURCE:?}"
start_display "$WM"
cp -r "$PETS" "$WORK/pets"
domino_shows() { pet_shows "$1" --resources "$WORK/pets/domino"; }
# The pet window made last: not one of the ids given.
newest_pet() {  # newest_pet KNOWN_ID...
    local id
    for _ in $(seq 50); do
        for id in $(pet_windows); do
            [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    return 1
}
# Adds item N (1 = the built-in cat) of the clicked pet's sub-menu.
add_pet() {  # add_pet PET N
    open_menu_item "$1" p || return 1
    sleep 0.3
    for _ in $(seq 2 "$2"); do xdotool key Down; sleep 0.1; done
    xdotool key Return
}

write_ini "Timer=1500" "Pet=domino"
start_pet
pet=$(pet_window) || { fail "no pet window"; finish; }
sleep 0.5
shot domino
check "with Pet=domino the window shows Domino" domino_shows "$pet"
check "and none of the built-in cat's images" not pet_shows "$pet"

# The built-in cat joins Domino (宠物 (P), its first item), then a second Domino.
add_pet "$pet" 1
cat=$(newest_pet "$pet") || { fail "no second pet window"; finish; }
sleep 0.5
shot two-pets
check "the added built-in cat shows its own pixels" pet_shows "$cat"
check "beside Domino, still Domino" domino_shows "$pet"
add_pet "$cat" 2
second=$(newest_pet "$pet" "$cat") || { fail "no third pet window"; finish; }
sleep 0.5
shot three-pets
check "the second Domino shows Domino" domino_shows "$second"
check "the program still runs (no restart)" kill -0 "$PET_PID"

# Held over the oldest (whose window carries the company's tick), the newest
# stays above it through a few ticks (not so many that the oldest walks off).
carry_over "$second" "$pet" || fail "the newest Domino cannot be taken hold of"
sleep 0.45
shot carried-over
check "held over the oldest" overlapping "$second" "$pet"
check "the carried Domino shows above the one it is held over" domino_shows "$second"
# Put down away from the others, as the steps below expect.
xdotool mousemove 700 650 sleep 0.3 mouseup 1

# Sending the cat away (its sub-menu's last item, 送走它 (S)) takes exactly its window.
open_menu_item "$cat" p && sleep 0.3 && xdotool key s
check "sending the cat away leaves two pets" eventually pets_living 2
check "and they are the two Dominoes" test "$(pet_windows | sort | tr '\n' ' ')" = "$(printf '%s\n' "$pet" "$second" | sort | tr '\n' ' ')"
add_pet "$pet" 1
check "a cat again makes three" eventually pets_living 3

open_menu_item "$pet" e
wait_pet_exit
check "Exit ends the program with every pet (exit $PET_EXIT)" test "$PET_EXIT" = 0
check "and saves the company" grep -qx "Pets=3" "$WORK/dorra.ini"
check "  Domino first" grep -qx "Pet 1=domino" "$WORK/dorra.ini"
check "  the built-in cat last" grep -qx "Pet 3=" "$WORK/dorra.ini"
start_pet
check "a new start brings three pets back" eventually pets_living 3
sleep 0.5
shot company-back
mapfile -t back < <(pet_windows)
check "the oldest is Domino" domino_shows "${back[0]}"
check "the next is Domino" domino_shows "${back[1]}"
check "the newest is the built-in cat" pet_shows "${back[2]}"
open_menu_item "${back[0]}" e
wait_pet_exit

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
open_menu_item "$pet" e
wait_pet_exit

python3 "$SOURCE/tools/artgen/artgen.py" --frame-set "$WORK/frames"
check "a numbered frame set imports" "$SIM" --import-shimeji "$WORK/frames" "$WORK/pets/imported"
write_ini "Timer=1500" "Pet=imported"
PET_SIDE=128  # the set's frames, at zoom 1
start_pet
pet=$(pet_window) || { fail "the imported pet shows no 128-pixel window"; cat "$WORK/pet.log" >&2; finish; }
sleep 0.5
shot imported
check "the imported pet shows its own frames, its shape their alpha" pet_shows "$pet" --resources "$WORK/pets/imported"
check "without a box" no_window_named Dorrabee
open_menu_item "$pet" e
wait_pet_exit

# A 96-pixel PNG pet with alpha: on bare X a clean hard edge at alpha one
# half; under a compositing manager its soft edges blended over the desktop.
make_alpha_pet "$WORK/pets/glass" 96
PET_SIDE=96
write_ini "Timer=1500" "Pet=glass"
start_pet
pet=$(pet_window) || { fail "no window for the PNG pet"; finish; }
sleep 0.5
shot glass-bare
check "on bare X the PNG pet is its pixels of alpha one half or more, edged cleanly" pet_shows "$pet" --resources "$WORK/pets/glass"
open_menu_item "$pet" e
wait_pet_exit
start_compositing_manager
start_pet
pet=$(pet_window) || { fail "no window for the PNG pet under xcompmgr"; finish; }
sleep 0.5
shot glass-composited
check "under xcompmgr its soft edges are blended over the desktop" pet_shows "$pet" --mode alpha --resources "$WORK/pets/glass" --before "$WORK/desktop.ppm"
finish
