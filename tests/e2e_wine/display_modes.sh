#!/usr/bin/env bash
# Each display mode runs: 0 a plain square window showing the desktop
# behind it through the key colour, 1 and 2 windows shaped like the pet.
# Invalid margins in the file are reported before the pet appears.
. "$(dirname "$0")/lib.sh"
start_display

# run_mode MODE KIND: the pet shows its images in that mode and lives on.
run_mode() {
    local mode=$1 kind=$2 pet first changed
    write_ini "Mode=$mode"
    start_pet
    pet=$(pet_window) || { fail "mode $mode: no pet window appears"; return; }
    if first=$(pet_shows "$pet" "$kind"); then pass "mode $mode: the window shows $first"; else fail "mode $mode: $first"; fi
    changed=$(pet_changes "$pet" "$first" "$kind")
    check "mode $mode: the pet lives on ($first -> ${changed:-nothing})" test -n "$changed"
    shot "mode-$mode"
    choose "$pet" e
    wait_pet_exit
    check "mode $mode: Exit ends the program with exit code 0" test "$PET_EXIT" = 0
}

run_mode 0 standard
run_mode 1 shaped
run_mode 2 shaped

# A margin the screen cannot hold: the box comes first, then the pet, with
# no margins; the file is left as it was.
write_ini "Left Margin=-5" "Top Margin=20"
cp "$WORK/dorra.ini" "$WORK/before.ini"
start_pet
check "invalid margins are reported" boxes_read "Invalid Margin Values !"
check "the pet has not appeared yet" test -z "$(pet_window 1 || true)"
shot invalid-margins
close_box
pet=$(pet_window) || fail "no pet window appears after the message"
check "then the pet appears and lives" quietly pet_shows "$pet"
check "the file is left as it was" cmp -s "$WORK/dorra.ini" "$WORK/before.ini"
choose "$pet" e
wait_pet_exit
check "Exit ends the program with exit code 0" test "$PET_EXIT" = 0
finish
