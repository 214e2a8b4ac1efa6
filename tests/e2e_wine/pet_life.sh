#!/usr/bin/env bash
# With no settings file: the pet appears as a 42 x 42 window titled
# "Dorrabee" shaped and coloured like one of its images, lives on by itself,
# writes no file; its menu opens, Continue changes nothing, Exit ends the
# program with exit code 0. With a tray on the display its icon docks there,
# and the icon's menu puts the pet away, calls it back and switches the Run
# value that starts it at login.
. "$(dirname "$0")/lib.sh"
start_display
start_tray
start_pet

pet=$(pet_window) || { fail "no pet window appears"; finish; }
check "the pet window is 42 x 42" test "$(window_size "$pet")" = 42x42
if first=$(pet_shows "$pet"); then pass "the window shows $first"; else fail "$first"; fi
shot pet

# Within a few ticks (150 ms each) it moves or changes its image.
changed=$(pet_changes "$pet" "$first")
check "the pet lives on by itself ($first -> ${changed:-nothing})" test -n "$changed"
check "no settings file is created" test ! -e "$WORK/dorra.ini"

# The menu, its Chinese items on screen; Continue closes it and changes nothing.
open_menu "$pet" || fail "the menu does not open"
sleep 0.3
shot menu
menu=$(menu_window) && pass "the menu is open ($(window_size "$menu"))" || fail "no menu window"
xdotool key c
sleep 0.5
check "Continue closes the menu" no_menu
check "Continue opens no dialog" test "$(inspect options | head -1)$(inspect about | head -1)" = "count=0count=0"
check "Continue writes no settings file" test ! -e "$WORK/dorra.ini"
check "the pet still lives" quietly pet_shows "$pet"

# ---- in the background
check_tray_put_away_and_call_back "$(pet_window 20 || echo "$pet")"
run_value() { wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Dorrabee 2>/dev/null | tr -d '\r'; }
exe="\"Z:$(echo "$PET_DIR" | tr / '\\')\\$PET_EXE\""
tray_choose l || fail "the icon's menu does not open"
run_value_ours() { run_value | grep -qF "REG_SZ    $exe"; }
no_run_value() { ! run_value | grep -q Dorrabee; }
check "Start at login writes the Run value: the quoted path of this exe" eventually run_value_ours
tray_choose l || fail "the icon's menu does not open"
check "unchecked, the Run value goes" eventually no_run_value

# Exit ends the program, with exit code 0.
choose "$pet" e
wait_pet_exit
check "Exit ends the program with exit code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0
finish
