#!/usr/bin/env bash
# The pop-up menu, the Options dialog (entries typed, OK writes the file;
# invalid entries raise a box and keep the dialog open), the About dialog's
# scene, and the program in the background: under openbox with a tray (the
# icon's menu puts the pet away, calls it back and switches start at login),
# without one the pet's own menu switching start at login; driven with the
# mouse and keyboard.
. "$(dirname "$0")/lib.sh"
start_display "$WM"
[ "$WM" = openbox ] && start_tray

write_ini "Timer=1000"
start_pet
pet=$(pet_window) || { fail "no pet window"; finish; }

# ---- the menu opens with its top-left corner at the pointer
# The pet may walk away between finding and clicking it, or step between the
# click and the menu (which then opens where the click fell in the window,
# now elsewhere): try again until it stood still.
menu=""
for _ in 1 2 3 4 5; do
    before=$(window_position "$pet")
    read -r mx my < <(pet_point "$pet")
    xdotool mousemove "$mx" "$my" click 3
    sleep 0.5
    if menu=$(menu_window); then
        [ "$(window_position "$pet")" = "$before" ] && break
        xdotool key Escape
        sleep 0.3
    fi
    menu=""
done
shot menu
check "a right click opens the menu" test -n "$menu"
sleep 1.2  # a tick: the pet raises itself, and the menu is put back above it
[ -n "$menu" ] && check "the menu stays above the pet where they meet" above_pet_where_they_meet "$menu" "$pet"
# At the pointer where it fits; near the screen's edge it is moved to fit,
# as Windows moves a pop-up menu.
menu_placed() {
    local x y w h
    read -r x y < <(window_position "$menu")
    IFS=x read -r w h < <(window_size "$menu")
    echo "(menu ${w}x$h at $x $y, pointer at $mx $my)"
    if [ $((mx + w)) -le 1024 ] && [ $((my + h)) -le 768 ]; then
        [ "$x $y" = "$mx $my" ]
    else
        [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1024 ] && [ $((y + h)) -le 768 ]
    fi
}
[ -n "$menu" ] && check "the menu opens at the pointer, or moved just enough to fit" menu_placed
xdotool key c
check "Continue closes the menu" eventually bash -c "! xwininfo -id $menu 2>/dev/null | grep -q IsViewable"

# ---- Options
OPTIONS="Dorrabee — 选项"
open_menu_item "$pet" o
options=$(window_named "$OPTIONS") || { fail "Options does not open"; finish; }
pass "Options opens"
sleep 1.2
check "Options stays above the pet where they meet" above_pet_where_they_meet "$options" "$pet"
shot options
read -r ox oy < <(window_position "$options")
"$CONVERT" "$SHOTS/options.png" -crop "$(window_size "$options")+$ox+$oy" +repage "$WORK/options-zh.png"

# A control's middle on the screen, from its rectangle in dialog units
# (the Chinese dialog is 172 x 150 units).
UNITS="172 150"
control() {  # control X Y W H
    local dx dy size uw uh
    read -r dx dy < <(window_position "$options")
    read -r uw uh <<<"$UNITS"
    size=$(window_size "$options")
    echo $((dx + ($1 + $3 / 2) * ${size%x*} / uw)) $((dy + ($2 + $4 / 2) * ${size#*x} / uh))
}
type_into() {  # type_into X Y W H TEXT
    local x y
    read -r x y < <(control "$1" "$2" "$3" "$4")
    xdotool mousemove "$x" "$y" click 1
    sleep 0.3  # under a window manager the click also brings the focus
    xdotool key ctrl+a BackSpace
    [ -z "$5" ] || xdotool type --delay 40 "$5"
}
TOP="27 79 31 12" LEFT="83 79 31 12" BOTTOM="27 94 31 12" RIGHT="83 94 31 12" SPEED="43 119 45 12"
LIVE="11 31 106 9" OK="127 11 40 17"

press_ok_expect_box() {  # press_ok_expect_box WHAT
    local x y box
    read -r x y < <(control $OK)
    xdotool mousemove "$x" "$y" click 1
    if box=$(window_named Dorrabee); then
        pass "$1 raises a message box"
        shot "options-$(echo "$1" | tr ' ' '-')"
        xdotool key Return
        sleep 0.5
        check "the box closes with Enter" no_window_named Dorrabee
        check "after $1 the dialog stays open" window_named "$OPTIONS" >/dev/null
    else
        fail "$1 raises no message box"
    fi
}
type_into $TOP "1x"
press_ok_expect_box "an invalid margin"
type_into $TOP "10"
type_into $LEFT "900"
type_into $RIGHT "900"
press_ok_expect_box "margins too large"
type_into $LEFT "20"
type_into $RIGHT "40"
type_into $SPEED "5"
press_ok_expect_box "a speed below 10"
check "nothing is written while entries are refused" diff -q "$WORK/dorra.ini" <(printf '[Setup]\nTimer=1000\n')

type_into $BOTTOM "  30 "
type_into $SPEED "0200"
read -r x y < <(control $LIVE)
xdotool mousemove "$x" "$y" click 1
sleep 0.2
shot options-filled
xdotool key Return
check "OK closes the dialog" eventually no_window_named "$OPTIONS"
expected='[Setup]
Timer=200
Mode=2
Top Margin=10
Bottom Margin=30
Left Margin=20
Right Margin=40'
check "OK writes all six keys" diff <(echo "$expected") "$WORK/dorra.ini"

# ---- About: the scene moves while the rest stands still
open_menu_item "$pet" a
about=$(window_named "关于Dorrabee") || { fail "About does not open"; finish; }
pass "About opens"
sleep 1.2
check "About stays above the pet where they meet" above_pet_where_they_meet "$about" "$pet"
read -r ax ay < <(window_position "$about")
asize=$(window_size "$about")
shot about
"$CONVERT" "$SHOTS/about.png" -crop "$asize+$ax+$ay" +repage "$WORK/about-1.png"
sleep 1.6  # the scene ticks at 1.5 times the pet's 1000 ms
shot about-later
"$CONVERT" "$SHOTS/about-later.png" -crop "$asize+$ax+$ay" +repage "$WORK/about-2.png"
check "the About scene moves between screenshots" \
    bash -c "! /usr/bin/compare -metric AE '$WORK/about-1.png' '$WORK/about-2.png' null: 2>/dev/null"
xdotool key Escape
check "Escape closes About" eventually no_window_named "关于Dorrabee"

# ---- in the background
autostart_exec() { grep -qx "Exec=$WORK/dorrabee" "$AUTOSTART"; }
if [ "$WM" = openbox ]; then
    check_tray_put_away_and_call_back "$pet"
    tray_choose l || fail "the icon's menu does not open"
    check "Start at login writes an autostart entry that runs this program" eventually autostart_exec
    tray_choose l || fail "the icon's menu does not open"
else
    open_menu_item "$pet" l
    check "without a tray the pet's menu writes the autostart entry" eventually autostart_exec
    open_menu_item "$pet" l
fi
check "unchecked, the autostart entry goes" eventually test ! -e "$AUTOSTART"

open_menu_item "$pet" e
wait_pet_exit
check "Exit ends the program with code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0

# ---- On an English desktop: the menu, both dialogs and the boxes in English
write_ini "Timer=1000"
PET_LANG=en_US.UTF-8 start_pet
pet=$(pet_window) || { fail "no pet window in English"; finish; }
open_menu "$pet" || fail "the English menu does not open"
sleep 0.3
shot menu-en
xdotool key c
OPTIONS="Dorrabee — Options" UNITS="218 152" SPEED="54 119 45 12" OK="162 9 50 14"
open_menu_item "$pet" o
options=$(window_named "$OPTIONS") || { fail "the English Options does not open"; finish; }
pass "Options opens titled \"$OPTIONS\""
type_into $SPEED "abc"
sleep 0.3
shot options-en
press_ok_expect_box "an invalid speed in English"
xdotool key Escape
check "Escape closes the English Options" eventually no_window_named "$OPTIONS"
open_menu_item "$pet" a
about=$(window_named "About Dorrabee") || { fail "the English About does not open"; finish; }
pass "About opens titled \"About Dorrabee\""
sleep 0.5
shot about-en
xdotool key Escape
check "Escape closes the English About" eventually no_window_named "About Dorrabee"
open_menu_item "$pet" e
wait_pet_exit
check "in English Exit ends the program with code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0

# ---- Language=zh on the English desktop: the Chinese dialog, pixel for pixel
write_ini "Timer=1000" "Language=zh"
PET_LANG=en_US.UTF-8 start_pet
pet=$(pet_window) || { fail "no pet window with Language=zh"; finish; }
open_menu_item "$pet" o
options=$(window_named "Dorrabee — 选项") || { fail "Language=zh does not give the Chinese Options"; finish; }
pass "Language=zh gives the Chinese Options"
sleep 1.2
# The same pixels but for a field's blinking caret (or the pet walking by):
# a few looks, a few pixels.
same_options() {
    local ox oy differ
    shot options-zh-key
    read -r ox oy < <(window_position "$options")
    "$CONVERT" "$SHOTS/options-zh-key.png" -crop "$(window_size "$options")+$ox+$oy" +repage "$WORK/options-key.png"
    differ=$(/usr/bin/compare -metric AE "$WORK/options-zh.png" "$WORK/options-key.png" null: 2>&1)
    echo "($differ pixels differ)"
    [ "$differ" -le 30 ] 2>/dev/null
}
check "it is the Chinese desktop's Options, pixel for pixel but the caret" eventually same_options
xdotool key Escape
open_menu_item "$pet" e
wait_pet_exit
check "with Language=zh Exit ends the program with code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0

# ---- A Chinese desktop with no font that has Chinese: English, and a word on why
write_ini "Timer=1000"
FONTCONFIG_FILE=$(latin_fonts_only) start_pet
pet=$(pet_window) || { fail "no pet window without Chinese fonts"; finish; }
open_menu_item "$pet" o
check "without a Chinese font Options is English" window_named "Dorrabee — Options"
check "standard error says why" grep -q "no installed font can draw the zh_CN texts" "$WORK/pet.log"
xdotool key Escape
open_menu_item "$pet" e
wait_pet_exit
check "without Chinese fonts Exit ends the program with code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0
finish
