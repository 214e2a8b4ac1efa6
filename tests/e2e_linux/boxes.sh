#!/usr/bin/env bash
# A message box stays above the dialog that owns it while the pet ticks, and
# blocks only that dialog: the pet can be dragged and About used meanwhile.
. "$(dirname "$0")/lib.sh"
start_display

write_ini "Timer=200"
# A life that keeps the cat at the screen's left edge, away from where the
# dialog goes: a pet that walked under the dialog could not be taken.
DORRABEE_SEED=1 start_pet
pet=$(pet_window) || { fail "no pet window"; finish; }

OPTIONS="Dorrabee — 选项"
ABOUT="关于Dorrabee"
open_menu_item "$pet" o
options=$(window_named "$OPTIONS") || { fail "Options does not open"; finish; }
# Away from the pet, so that it can be taken and carried onto the dialog.
xdotool windowmove "$(top_level "$options")" 500 150
sleep 0.5

# A point of a dialog on the screen, from dialog units.
dialog_point() {  # dialog_point WINDOW UNITS_W UNITS_H X Y
    local dx dy size
    read -r dx dy < <(window_position "$1")
    size=$(window_size "$1")
    echo $((dx + $4 * ${size%x*} / $2)) $((dy + $5 * ${size#*x} / $3))
}
read -r x y < <(dialog_point "$options" 172 150 65 125)  # the speed field
xdotool mousemove "$x" "$y" click 1
sleep 0.3
xdotool key ctrl+a type abc
read -r x y < <(dialog_point "$options" 172 150 147 19)  # OK
xdotool mousemove "$x" "$y" click 1
box=$(window_named Dorrabee) || { fail "a speed of abc raises no box"; finish; }

# Carried onto the dialog's lower left corner and held there for some ticks,
# each of which puts the dialog back above the pet.
read -r tx ty < <(dialog_point "$options" 172 150 10 140)
for _ in 1 2 3 4 5; do
    read -r x y < <(pet_point "$pet")
    xdotool mousemove "$x" "$y" mousedown 1 mousemove "$tx" "$ty"
    sleep 1.2
    read -r px py < <(window_position "$pet")
    [ "$px" -le "$tx" ] && [ "$tx" -lt $((px + PET_SIDE)) ] && [ "$py" -le "$ty" ] && [ "$ty" -lt $((py + PET_SIDE)) ] && break
    xdotool mouseup 1
    sleep 0.2
done
shot box-over-options
check "with the box up the pet is dragged onto the dialog (pet at $px $py, pointer at $tx $ty)" \
    test "$px" -le "$tx" -a "$tx" -lt $((px + PET_SIDE)) -a "$py" -le "$ty" -a "$ty" -lt $((py + PET_SIDE))
check "after some ticks the box is above its dialog" stacked_above "$box" "$options"
check "and the dialog above the pet" above_pet_where_they_meet "$options" "$pet"
xdotool mousemove 200 600 mouseup 1  # out from under the dialog, to be clicked again
sleep 0.3

open_menu_item "$pet" a
if about=$(window_named "$ABOUT"); then
    read -r x y < <(dialog_point "$about" 243 207 123 191)  # OK
    xdotool mousemove "$x" "$y" click 1
    sleep 0.5
    check "with the box up About opens and closes with its OK button" no_window_named "$ABOUT"
else
    fail "with the box up About does not open"
fi

# A click on the blocked dialog brings its box forward; Enter closes it.
read -r x y < <(dialog_point "$options" 172 150 60 20)
xdotool mousemove "$x" "$y" click 1
sleep 0.3
xdotool key Return
sleep 0.5
check "the box closes with Enter" no_window_named Dorrabee
check "and its dialog stays open" window_named "$OPTIONS" >/dev/null

open_menu_item "$pet" e
wait_pet_exit
check "Exit ends the program with code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0
finish
