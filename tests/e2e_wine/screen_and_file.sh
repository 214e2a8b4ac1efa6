#!/usr/bin/env bash
# What a user's system does under the pet: a read-only dorra.ini is not
# written (the save says why and the file stays as it was), and a screen
# made smaller brings the pet back inside at once.
. "$(dirname "$0")/lib.sh"
# Opens Options, types the speed and confirms.
save_speed() {  # save_speed PET MS
    choose "$1" o
    for _ in $(seq 30); do [ "$(option_count)" = 1 ] && break; sleep 0.2; done
    type_option 1007 "$2"
    xdotool key Return
}
start_display
wine_desktop_here
write_ini "Timer=1000"
chmod 0444 "$PET_DIR/dorra.ini"
cp "$PET_DIR/dorra.ini" "$WORK/before.ini"
start_pet
pet=$(pet_window) || { fail "no pet window appears"; finish; }

# ---- the read-only file
save_speed "$pet" 300
check "a save to a read-only file fails with the message" boxes_read \
    "Fail to save the settings to Z:${PET_DIR//\//\\}\\dorra.ini !  The file cannot be read or written (read-only, or not a regular file) .."
close_box
check "and the file is untouched" cmp -s "$WORK/before.ini" "$PET_DIR/dorra.ini"
check "and keeps its mode" test "$(stat -c %a "$PET_DIR/dorra.ini")" = 444
xdotool key Escape

# ---- the screen shrinks under the pet
pet=$(pet_window 20) || true
read -r x y < <(pet_point "$pet")
xdotool mousemove "$x" "$y" sleep 0.2 mousedown 1 mousemove 1000 700 mousemove 1023 767 sleep 0.3 mouseup 1
sleep 0.3
read -r px py < <(window_position "$pet")
check "the pet starts near the bottom-right corner ($px $py)" test "$px" -gt 700 -a "$py" -gt 500
shrink_screen
check "Wine measures the smaller screen" eventually wine_screen_is "640 480"
inspect displaychange 640 480
shot screen-shrunk
pet=$(pet_window 20) || true
read -r px py < <(window_position "$pet")
check "on a 640x480 screen the pet is inside at once ($px $py)" test "$px" -le $((640 - PET_SIDE)) -a "$py" -le $((480 - PET_SIDE))
restore_screen

choose "$pet" e
wait_pet_exit
check "Exit ends the program with exit code 0" test "$PET_EXIT" = 0

# ---- a program deep in folders of Chinese names: more than 260 bytes of
# UTF-8, fewer than 260 UTF-16 units. Its own dorra.ini is read and written,
# never one in C:\windows.
deep=$WORK
for _ in $(seq 26); do deep="$deep/桌面文件夹"; done
PET_DIR=$deep
mkdir -p "$deep"
write_ini "Timer=1000" "Left Margin=7"
rm -f "$WINEPREFIX/drive_c/windows/dorra.ini"
start_pet
pet=$(pet_window) || { fail "no pet window from the deep folder"; finish; }
save_speed "$pet" 300
shot deep-folder-saved
check "from a deep folder the settings are saved beside the program" eventually grep -q "Timer=300" "$deep/dorra.ini"
check "having been read from there" grep -q "Left Margin=7" "$deep/dorra.ini"
check "and nothing is written to C:\\windows" test ! -e "$WINEPREFIX/drive_c/windows/dorra.ini"
choose "$pet" e
wait_pet_exit
finish
