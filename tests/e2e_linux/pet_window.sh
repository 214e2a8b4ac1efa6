#!/usr/bin/env bash
# The pet window from outside: a 42 x 42 window titled "Dorrabee", shaped
# like one of the sheet's images and showing exactly that image, unmanaged
# and out of the taskbar, alive, above a window mapped after it (under
# openbox, one made fullscreen); Exit ends the program with code 0.
. "$(dirname "$0")/lib.sh"
start_display "$WM"

# Slow ticks: the checker looks at a pet that stands still.
# Hiding for fullscreen programs off: here the pet stays above them, as it
# did before that rule (screen_and_drag.sh checks the hiding).
write_ini "Timer=1500" "Hide For Fullscreen=0"
start_pet
pet=$(pet_window) || { fail "no pet window"; finish; }
pass "a 42x42 window titled Dorrabee appears"
check "it is unmanaged (override-redirect)" bash -c "xwininfo -id $pet | grep -q 'Override Redirect State: yes'"
check "it asks to stay out of taskbar and pager" \
    bash -c "xprop -id $pet _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR && xprop -id $pet _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_PAGER"
check "it never takes the focus" bash -c "xprop -id $pet WM_HINTS | grep -q 'accepts input or input focus: False'"

sleep 0.5
shot pet-on-desktop
check "its shape and pixels are one image of the sheet" \
    pet_shows "$pet" --save "$SHOTS/pet-cell.png"

# Another window mapped on top of the pet: by the next tick the pet is above it.
read -r px py < <(window_position "$pet")
xmessage -geometry "200x120+$((px - 60))+$((py - 40))" "a window mapped after the pet" &
OTHER_PIDS+=($!)
other=$(window_named xmessage) || fail "xmessage does not show"
# A window manager puts a fullscreen window above its others: the pet
# still comes above it.
later="a window mapped after it"
if [ "$WM" = openbox ] && [ -n "$other" ]; then
    wmctrl -i -r "$other" -b add,fullscreen
    fullscreen() { [ "$(window_size "$(top_level "$other")")" = 1024x768 ]; }
    eventually fullscreen || fail "openbox makes the xmessage window fullscreen"
    later="a fullscreen window mapped after it"
fi
sleep 2.5
[ -n "$other" ] && check "it is stacked above $later" stacked_above "$pet" "$other"
shot pet-above-later-window
check "it stays above $later" pet_shows "$pet"
kill "${OTHER_PIDS[@]}" 2>/dev/null || true

# Within a few ticks the pet moves or changes its image.
looks=()
for _ in $(seq 10); do
    if look=$(pet_shows "$pet"); then
        looks+=("$look")
        [ "${looks[0]}" != "$look" ] && break
    fi
    sleep 1
done
check "it moves or changes its image (${looks[*]:-nothing matched})" \
    test "${#looks[@]}" -ge 2 -a "${looks[0]}" != "${looks[-1]}"

open_menu_item "$pet" e
wait_pet_exit
check "Exit ends the program with code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0
check "the settings file is left as it was" diff -q "$WORK/dorra.ini" <(printf '[Setup]\nTimer=1500\nHide For Fullscreen=0\n')

# Another X client destroys the pet's window: a box says so, and the program
# ends with code 1 rather than live on unseen.
start_pet
pet=$(pet_window) || { fail "no pet window the second time"; finish; }
python3 -c '
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
display = ctypes.c_void_p(x.XOpenDisplay(None))
x.XDestroyWindow(display, ctypes.c_ulong(int(sys.argv[1])))
x.XSync(display, 0)' "$pet"
if box=$(window_named Dorrabee); then
    pass "a box tells that the pet's window was destroyed"
    xdotool key --window "$box" Return 2>/dev/null || xdotool key Return
else
    fail "no box after the pet's window was destroyed"
fi
wait_pet_exit
check "the program then ends with code 1 (got $PET_EXIT)" test "$PET_EXIT" = 1
check "having said why on standard error" grep -q "window was destroyed by another program" "$WORK/pet.log"
finish
