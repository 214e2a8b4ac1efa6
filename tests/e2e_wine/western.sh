#!/usr/bin/env bash
# On a Western code page (1252) with an English interface, as most users
# have: the menu, both dialogs and the boxes are English. With Language=zh
# every caption of both dialogs shows the very pixels it shows on a Chinese
# system (code page 936), and the program run from a folder named in Cyrillic
# and Chinese letters saves its six keys beside itself and reads them back at
# the next start.
# Runs in DORRABEE_CODE_PAGE=1252 scripts/wine-session.sh, which also makes
# the Chinese locale the reference rendering is started with.
. "$(dirname "$0")/lib.sh"
start_display
# (the variables reach what a function starts, for that call only)
chinese() { LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 "$@"; }
if [ "$(inspect codepage)" != 1252 ] || [ "$(chinese inspect codepage)" != 936 ]; then
    echo "needs code page 1252 and the Chinese locale: run it in DORRABEE_CODE_PAGE=1252 scripts/wine-session.sh" >&2
    exit 1
fi

dialog_count() { inspect "$1" | sed -n 's/^count=//p'; }

# A screenshot in which the pet covers no part of the rectangle "x y w h".
shot_beside_pet() {  # shot_beside_pet NAME RECT
    local x y w h px py qx qy
    read -r x y w h <<<"$2"
    for _ in 1 2 3 4 5 6; do
        read -r px py < <(window_position "$(pet_window 20)")
        shot "$1"
        read -r qx qy < <(window_position "$(pet_window 20)")
        (( (px >= x + w || px + 42 <= x || py >= y + h || py + 42 <= y) &&
           (qx >= x + w || qx + 42 <= x || qy >= y + h || qy + 42 <= y) )) && return 0
        sleep 0.3
    done
    fail "the pet keeps covering the dialog"
}

# Opens a dialog from the menu, moves it away from the pet and photographs
# it; its captions' rectangles go to $WORK/WHICH-CP.rects.
photograph() {  # photograph options|about CP
    local pet
    pet=$(pet_window) || { fail "code page $2: no pet window appears"; return 0; }
    choose "$pet" "${1:0:1}"
    for _ in $(seq 30); do [ "$(dialog_count "$1")" = 1 ] && break; sleep 0.2; done
    if [ "$(dialog_count "$1")" != 1 ]; then
        fail "code page $2: no $1 dialog whose caption reads whole"
        return 0
    fi
    move_dialog_away "$1" "$pet"
    inspect captions "$1" >"$WORK/$1-$2.rects"
    shot_beside_pet "$1-$2" "$(inspect "$1" | sed -n 's/^window=//p')"
}

# Each caption's pixels on code page 1252 against the same caption's on 936.
same_captions() {  # same_captions options|about
    local x y w h ax ay aw ah differing=0 count=0 pixels
    [ -s "$WORK/$1-936.rects" ] && [ -s "$WORK/$1-1252.rects" ] || { fail "$1: no captions to compare"; return 0; }
    while read -r x y w h <&3 && read -r ax ay aw ah <&4; do
        count=$((count + 1))
        if [ "$w $h" != "$aw $ah" ]; then differing=$((differing + 1)); continue; fi
        pixels=$(compare -metric AE "$SHOTS/$1-936.png[${w}x${h}+${x}+${y}]" \
                 "$SHOTS/$1-1252.png[${w}x${h}+${ax}+${ay}]" null: 2>&1) || true
        [ "$pixels" = 0 ] || { echo "caption $count at $ax,$ay: $pixels pixels differ" >&2; differing=$((differing + 1)); }
    done 3<"$WORK/$1-936.rects" 4<"$WORK/$1-1252.rects"
    check "$1: $count captions, each as on code page 936" \
        test "$differing:$count:$(wc -l <"$WORK/$1-1252.rects")" = "0:$count:$count" -a "$count" -gt 2
}

# The reference: a Chinese system.
chinese start_pet
photograph options 936
photograph about 936
choose "$(pet_window 20)" e
wait_pet_exit
check "code page 936: Exit ends the program" test "$PET_EXIT" = 0

# A Western system, the program in a folder no Western code page can spell,
# told to speak Chinese.
PET_DIR="$WORK/Анна 桌面"
mkdir -p "$PET_DIR"
write_ini "Language=zh"
start_pet
photograph options 1252
same_captions options
type_option 1002 11
type_option 1003 22
type_option 1004 33
type_option 1005 44
type_option 1007 120
click_option 1001
xdotool key Return
for _ in $(seq 30); do [ "$(dialog_count options)" = 0 ] && break; sleep 0.2; done
check "OK closes Options" test "$(dialog_count options)" = 0
tr -d '\r' <"$PET_DIR/dorra.ini" >"$WORK/written.ini" 2>/dev/null || true
cat "$WORK/written.ini"
for line in "Mode=2" "Top Margin=11" "Bottom Margin=33" "Left Margin=22" "Right Margin=44" "Timer=120"; do
    check "dorra.ini beside the program holds $line" grep -qx "$line" "$WORK/written.ini"
done
photograph about 1252
same_captions about
shot western
choose "$(pet_window 20)" e
wait_pet_exit
check "code page 1252: Exit ends the program" test "$PET_EXIT" = 0

# The next start reads them back.
start_pet
pet=$(pet_window) || { fail "no pet window appears at the next start"; finish; }
choose "$pet" o
for _ in $(seq 30); do [ "$(dialog_count options)" = 1 ] && break; sleep 0.2; done
check "the next start shows the saved mode" test "$(option_mode)" = 2
for field in "1002 11" "1003 22" "1004 33" "1005 44" "1007 120"; do
    set -- $field
    check "the next start shows field $1 as $2" test "$(option_text "$1")" = "$2"
done
move_dialog_away options "$pet"
choose "$pet" e
wait_pet_exit
check "Exit ends the program" test "$PET_EXIT" = 0

# Following the system: English everywhere a user reads.
PET_DIR="$WORK/english"
start_pet
pet=$(pet_window) || { fail "no pet window in English"; finish; }
open_menu "$pet" && shot menu-en
xdotool key Escape
photograph options en
check "the Options dialog is English" test "$(inspect options | sed -n 's/^title=//p')" = "Dorrabee — Options"
type_option 1007 abc
click_option 1
check "a wrong speed raises its box" boxes_read "Invalid Speed Value !  Please Re-enter .."
check "the box's button reads OK" test "$(inspect buttons)" = OK
shot box-en
close_box
click_option 2
photograph about en
check "the About dialog is English" test "$(inspect about | sed -n 's/^title=//p')" = "About Dorrabee"
check "About names the version in English" grep -q '^text=Dorrabee\\nVersion ' <(inspect about)
choose "$(pet_window 20)" e
wait_pet_exit
check "in English Exit ends the program" test "$PET_EXIT" = 0

finish
