#!/usr/bin/env bash
# The Options dialog: it opens once with the pending settings, refuses
# invalid entries with the exact messages and stays open, and OK writes all
# six keys to dorra.ini beside the program.
. "$(dirname "$0")/lib.sh"
start_display
write_ini "Mode=2" "Top Margin=10" "Bottom Margin=30" "Left Margin=20" "Right Margin=40" "Timer=200"
start_pet
pet=$(pet_window) || { fail "no pet window appears"; finish; }

choose "$pet" o
for _ in $(seq 30); do [ "$(option_count)" = 1 ] && break; sleep 0.2; done
check "Options opens its dialog" test "$(option_count)" = 1
check "the dialog shows the pending mode" test "$(option_mode)" = 2
for field in "1002 10" "1003 20" "1004 30" "1005 40" "1007 200"; do
    set -- $field
    check "field $1 shows $2" test "$(option_text "$1")" = "$2"
done
shot options

move_dialog_away options "$pet"
choose "$pet" o
sleep 0.5
check "Options chosen again opens no second dialog" test "$(option_count)" = 1

# Each invalid entry: its exact message, and the dialog stays open.
type_option 1002 "1 2"
xdotool key Return
check "a margin with a blank inside is refused" boxes_read "Invalid Margin Values !  Please Re-enter .."
shot invalid-margin
close_box
check "the dialog stays open, with the entry as typed" test "$(option_count):$(option_text 1002)" = "1:1 2"

type_option 1002 "0"
type_option 1003 "600"
type_option 1005 "500"
xdotool key Return
check "margins wider than the screen are refused" boxes_read "Margin too large !  Please Re-enter .."
close_box

type_option 1003 " 25 "
type_option 1005 "0040"
type_option 1007 "9"
xdotool key Return
check "a speed below 10 is refused" boxes_read "Invalid Speed Value !  Please Re-enter .."
close_box
check "the dialog is still open" test "$(option_count)" = 1
check "nothing has been written yet" grep -q "^Top Margin=10" "$WORK/dorra.ini"

type_option 1007 "0150"
click_option 1006
xdotool key Return
for _ in $(seq 30); do [ "$(option_count)" = 0 ] && break; sleep 0.2; done
check "OK closes the dialog" test "$(option_count)" = 0
tr -d '\r' <"$WORK/dorra.ini" >"$WORK/written.ini"
cat "$WORK/written.ini"
for line in "Mode=0" "Top Margin=0" "Bottom Margin=30" "Left Margin=25" "Right Margin=40" "Timer=150"; do
    check "dorra.ini holds $line" grep -qx "$line" "$WORK/written.ini"
done
check "the pet lives on unchanged" quietly pet_shows "$pet"

choose "$pet" e
wait_pet_exit
check "Exit ends the program with exit code 0" test "$PET_EXIT" = 0
finish
