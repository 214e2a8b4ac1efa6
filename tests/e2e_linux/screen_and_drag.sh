#!/usr/bin/env bash
# What a user's system does under the pet: the screen shrinks (a lower
# resolution, a monitor unplugged) and the pet must come back inside at once;
# a drag of 300-pixel jumps with no pause between them must leave the pet
# exactly under the pointer; on two monitors it starts on the primary, is
# carried onto the other and never seen in a dead zone, and (with openbox)
# hides for a fullscreen window on its monitor; with the floor at the panels
# it stands on a dock on the second monitor and on the bottom of the first.
. "$(dirname "$0")/lib.sh"
start_display "$WM"

write_ini "Timer=1000"
start_pet
pet=$(pet_window) || { fail "no pet window"; finish; }

# ---- a fast drag: ten tries, each a few jumps sent at once, then the release
misses=()
for try in $(seq 10); do
    # Held, the pet follows the pointer and nothing else: a 10-pixel move
    # shows it is held (a walking pet may slip from under the pointer).
    for _ in 1 2 3 4 5; do
        read -r x y < <(pet_point "$pet")
        read -r px py < <(window_position "$pet")
        xdotool mousemove "$x" "$y" mousedown 1 mousemove $((x + 10)) $((y + 10))
        sleep 0.3
        [ "$(window_position "$pet")" = "$((px + 10)) $((py + 10))" ] && break
        xdotool mouseup 1
        sleep 0.2
    done
    read -r px py < <(window_position "$pet")
    ox=$((x + 10 - px)) oy=$((y + 10 - py))
    ex=$((200 + (try * 73) % 600)) ey=$((150 + (try * 51) % 400))
    xdotool mousemove $((ex + 300)) "$ey" mousemove "$ex" $((ey + 300)) mousemove $((ex + 300)) $((ey + 300)) \
        mousemove "$ex" "$ey" mousemove $((ex + 300)) "$ey" mousemove "$ex" "$ey"
    # Looked at before the release: a free pet walks on at its next tick.
    sleep 0.3
    where=$(window_position "$pet")
    xdotool mouseup 1
    [ "$where" = "$((ex - ox)) $((ey - oy))" ] || misses+=("try $try: at $where, not $((ex - ox)) $((ey - oy))")
done
check "after each fast drag the pet is where the pointer let go (${misses[*]:-})" test "${#misses[@]}" = 0

# ---- the screen shrinks under the pet
read -r x y < <(pet_point "$pet")
xdotool mousemove "$x" "$y" mousedown 1 mousemove 1023 767 mouseup 1
sleep 0.3
read -r px py < <(window_position "$pet")
check "the pet starts near the bottom-right corner ($px $py)" test "$px" -gt 700 -a "$py" -gt 500
# An Options dialog open near the corner comes back inside too (with no
# window manager, nobody else would move it).
open_menu_item "$pet" o
options=$(window_named "Dorrabee — 选项") && options=$(top_level "$options") && xdotool windowmove "$options" 760 560
sleep 0.3
shrink_screen
sleep 0.5
shot screen-shrunk
if [ -n "${options:-}" ]; then
    read -r dx dy < <(window_position "$options")
    read -r dw dh < <(window_size "$options" | tr x ' ')
    check "the open Options dialog is brought inside the 640x480 screen ($dx $dy)" \
        test $((dx + dw)) -le 640 -a $((dy + dh)) -le 480
    xdotool key Escape
else
    fail "Options does not open"
fi
read -r px py < <(window_position "$pet")
check "on a 640x480 screen the pet is inside at once ($px $py)" test "$px" -le $((640 - 42)) -a "$py" -le $((480 - 42))
inside=0
for _ in $(seq 6); do
    read -r px py < <(window_position "$pet")
    [ "$px" -le $((640 - 42)) ] && [ "$py" -le $((480 - 42)) ] && inside=$((inside + 1))
    sleep 0.5
done
check "and stays inside ($inside of 6 looks)" test "$inside" = 6
restore_screen

open_menu_item "$pet" e
wait_pet_exit
check "Exit ends the program with code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0

# ---- two monitors, the primary on the right: the pet starts on the primary,
# and the standard mode reads the screen behind it there.
write_ini "Mode=0" "Timer=500"
split_screen || fail "xrandr cannot make two monitors"
start_pet
pet=$(pet_window) || { fail "no pet window on two monitors"; finish; }
read -r px py < <(window_position "$pet")
shot two-monitors
check "on two monitors the pet starts on the primary (at $px $py)" test "$px" -ge 512
check "and shows the desktop behind it there" quietly pet_shows "$pet" standard
open_menu_item "$pet" e
wait_pet_exit

# ---- two monitors of different sizes, a dock at the bottom of the second
# and the floor at the panels: carried onto the second, the pet lives there
# and is never where no monitor shows it nor over the dock; put down on the
# dock it stands on it, and on the first monitor on its bottom.
write_ini "Timer=100" "Floor At Panel=1"
split_screen_unequal || fail "xrandr cannot make two unequal monitors"
start_dock 640 440 1023 480 || fail "no dock window"
start_pet
pet=$(pet_window) || { fail "no pet window on unequal monitors"; finish; }
# put_down X Y: the pet carried until the pointer is at X Y, and let go there.
put_down() {
    local x y px py
    for _ in 1 2 3 4 5; do  # (a walking pet may slip from under the pointer)
        read -r x y < <(pet_point "$pet")
        read -r px py < <(window_position "$pet")
        xdotool mousemove "$x" "$y" mousedown 1 mousemove 512 300 mousemove "$1" "$2"
        sleep 0.3
        xdotool mouseup 1
        sleep 0.2
        read -r x y < <(window_position "$pet")
        [ "$x" != "$px" ] && break
    done
}
# stood_at X_FROM X_TO Y: within a second the pet stands at Y somewhere from X_FROM to X_TO.
stood_at() {
    local px py
    for _ in $(seq 10); do
        read -r px py < <(window_position "$pet")
        [ "$px" -ge "$1" ] && [ "$px" -le "$2" ] && [ "$py" = "$3" ] && return 0
        sleep 0.1
    done
    echo "(at $px $py)"
    return 1
}
put_down 800 100
read -r px py < <(window_position "$pet")
check "the pet is carried onto the second monitor (at $px $py)" test "$px" -ge 640
dead="" low=""
for _ in $(seq 80); do
    read -r px py < <(window_position "$pet")
    [ $((px + 42)) -gt 640 ] && [ $((py + 42)) -gt 480 ] && dead+=" $px,$py"
    [ $((px + 42)) -gt 640 ] && [ $((py + 42)) -gt 440 ] && low+=" $px,$py"
    sleep 0.1
done
check "and is never seen in the dead zone (seen at:$dead)" test -z "$dead"
check "nor over the dock (seen at:$low)" test -z "$low"
# Let go with its feet in the dock: it stands on it.
put_down 800 475
shot dock
check "put down on the dock it stands on it" stood_at 640 $((1024 - 42)) $((440 - 42))
# The dock takes nothing from the first monitor (a work area for the whole
# desktop would put its floor at the dock's top too).
put_down 300 765
check "put down on the first monitor it stands on its bottom" stood_at 0 $((640 - 42)) $((768 - 42))
shot unequal-monitors
kill "$DOCK_PID"

# ---- with a window manager: a fullscreen window on the pet's monitor sends
# it away and back where it was; one on the other monitor does not.
if [ "$WM" = openbox ]; then
    read -r px py < <(window_position "$pet")
    if [ "$px" -ge 640 ]; then mine=660 other=100; else mine=100 other=660; fi
    xlogo -geometry 200x200+$other+100 &
    other_pid=$!
    sleep 0.5
    wmctrl -r xlogo -b add,fullscreen
    sleep 1
    check "a fullscreen window on the other monitor leaves the pet shown" quietly pet_window 5
    kill "$other_pid"
    xlogo -geometry 200x200+$mine+100 &
    mine_pid=$!
    sleep 0.5
    wmctrl -r xlogo -b add,fullscreen
    sleep 1
    check "a fullscreen window on its monitor hides the pet" not quietly pet_window 10
    shot fullscreen-hides
    read -r hx hy < <(window_position "$pet")
    wmctrl -r xlogo -b remove,fullscreen
    check "and it comes back" eventually quietly pet_window 5
    read -r bx by < <(window_position "$pet")
    # (A tick or two of 100 ms may have passed since.)
    check "where it was (at $bx $by, hidden at $hx $hy)" test $(((bx - hx) * (bx - hx) + (by - hy) * (by - hy))) -le 900
    kill "$mine_pid"
fi
finish
