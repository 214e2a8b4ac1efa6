not() { ! "$@"; }

# The checks every compositor gets, with DISPLAY the pet's X server and
# OUTER the display the compositor shows on (at its corner). All input goes
# to the outer display, as a user's would, so the compositor routes it.
outer_point() { DISPLAY=$OUTER xdotool mousemove "$1" "$2"; }
outer_click() { DISPLAY=$OUTER xdotool mousemove "$1" "$2" click "$3"; }

menu_shows() { for _ in $(seq 20); do menu_window >/dev/null && return 0; sleep 0.1; done; return 1; }
menu_gone() { for _ in $(seq 20); do menu_window >/dev/null || return 0; sleep 0.1; done; return 1; }

# A point of the outer display where a native Wayland window shows: the
# middle of what changes on screen while weston-simple-shm animates.
wayland_window_point() {
    "$IMPORT" -display "$OUTER" -window root -depth 8 "ppm:$WORK/a.ppm"
    sleep 0.3
    "$IMPORT" -display "$OUTER" -window root -depth 8 "ppm:$WORK/b.ppm"
    python3 - "$WORK/a.ppm" "$WORK/b.ppm" <<'PY'
import os, sys
sys.path.insert(0, os.path.dirname(os.environ["PET_CHECK"]))
from pet_check import read_ppm
a, b = (read_ppm(open(p, "rb").read()) for p in sys.argv[1:3])
xs, ys = [], []
for y in range(0, a.height, 4):
    for x in range(0, a.width, 4):
        if a.pixel(x, y) != b.pixel(x, y):
            xs.append(x); ys.append(y)
if not xs:
    sys.exit(1)
print((min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2)
PY
}

# A see-through pixel of the pet, in outer coordinates: the window's corner
# pixel farthest from the cat's input shape.
see_through_point() {
    python3 - "$1" <<'PY'
import os, sys
sys.path.insert(0, os.path.dirname(os.environ["PET_CHECK"]))
import pet_check as pc
window = sys.argv[1]
info = pc.xwininfo(os.environ["DISPLAY"], window)
grid = pc.shape_grid(pc.shape_rectangles(os.environ["DISPLAY"], window, 2))
for x, y in ((1, 1), (40, 1), (1, 40), (40, 40), (20, 1), (1, 20), (40, 20)):
    if not grid[y][x]:
        print(info["x"] + x, info["y"] + y)
        sys.exit(0)
sys.exit(1)
PY
}

# The desktop as it shows before the pet comes, once the compositor has
# painted it (two looks alike).
for _ in $(seq 20); do
    "$IMPORT" -display "$OUTER" -window root -depth 8 "ppm:$WORK/before.ppm"
    sleep 0.3
    "$IMPORT" -display "$OUTER" -window root -depth 8 "ppm:$WORK/again.ppm"
    cmp -s "$WORK/before.ppm" "$WORK/again.ppm" && break
done

for mode in 1 2 0; do
    start_pet "$mode"
    PET=$(pet_window) || { fail "mode $mode: no pet window"; cat "$WORK/pet.log"; stop_pet; continue; }
    check "mode $mode: the cat shows with the desktop around it, no old frames, no black" pet_clean "$PET" 5 "mode$mode"
    [ "$mode" = 1 ] && outer_shot pet
    [ "$mode" = 0 ] || stop_pet
done

# Mode 0's window takes clicks everywhere; the region modes' only on the cat.
kill -0 "$PET_PID" 2>/dev/null || { fail "the pet has ended"; cat "$WORK/pet.log"; }
read -r x y < <(pet_point "$PET")
outer_click "$x" "$y" 3
if menu_shows; then pass "a right click on the cat opens its menu"; menu_opened=yes
else fail "a right click on the cat opens its menu"; menu_opened=no; fi
outer_shot menu
# A native Wayland window takes the click that closes the menu; on X the
# menu's pointer grab sees it.
if [ "$menu_opened" = no ]; then
    :
elif [ -n "${WAYLAND_DISPLAY:-}" ]; then
    weston-simple-shm >"$WORK/shm.log" 2>&1 &
    PIDS+=($!)
    sleep 1
    if read -r wx wy < <(wayland_window_point); then
        outer_click "$wx" "$wy" 1
        check "a click on a native Wayland window closes the menu" menu_gone
    else
        fail "weston-simple-shm shows no window"
    fi
    kill "${PIDS[-1]}" 2>/dev/null || true
else
    outer_click 5 5 1
    check "a click beside the menu closes it" menu_gone
fi
stop_pet

# Drag: press on the cat, move, release; the pet follows the pointer.
start_pet 1
PET=$(pet_window)
read -r x y < <(pet_point "$PET")
read -r x0 y0 < <(window_position "$PET")
DISPLAY=$OUTER xdotool mousemove "$x" "$y" mousedown 1
for step in 1 2 3 4 5 6 7 8; do outer_point $((x + step * 20)) $((y + step * 10)); sleep 0.05; done
sleep 0.3
read -r px py < <(window_position "$PET")
DISPLAY=$OUTER xdotool mouseup 1
dragged() { [ $((px - x0)) -ge 120 ] && [ $((py - y0)) -ge 50 ]; }
check "a drag of 160,80 moves the pet with the pointer (from $x0,$y0 to $px,$py)" dragged

# A right click on a see-through pixel goes to what lies below, not the pet.
if [ "${INPUT_SHAPES:-yes}" = yes ] && read -r sx sy < <(see_through_point "$PET"); then
    outer_click "$sx" "$sy" 3
    check "a click on a see-through pixel does not reach the pet" not menu_shows
fi
stop_pet
