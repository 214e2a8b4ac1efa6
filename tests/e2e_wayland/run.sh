# The pet under one compositor (run.sh NAME, NAME one of compositors.sh's
# start_NAME), checked from screenshots of the outer display: the pixels
# around the cat are the desktop's in every display mode while it walks,
# the menu opens and closes (on a click on a native Wayland window where
# there is one), a drag moves the pet, a click on a see-through pixel goes
# below, and the cat shows above a fullscreen window started after it. All input goes to the outer display, as a user's would, so
# the compositor routes it.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/compositors.sh"

start_outer
"start_$NAME"
echo "$NAME: the pet's X server is $DISPLAY${WAYLAND_DISPLAY:+, Wayland socket $WAYLAND_DISPLAY}"

park_pointer
make_desktop "$DESKTOP_KIND"
if ! wait_until $STARTUP desktop_shows; then
    outer_shot no-desktop
    fail "the compositor shows no desktop, or an unsteady one"
    for log in "$WORK"/*.log; do echo "-- $log"; tail -n 8 "$log"; done
    finish
fi
wait_until $STARTUP x_window_shows || { fail "the compositor shows no new X window"; finish; }

# A point of the outer display where a native Wayland window shows: the
# middle of what changes on screen while that window animates, away
# from the pet and its menu (the windows given).
wayland_window_point() {  # wayland_window_point X-WINDOW...
    local rects=() id
    for id in "$@"; do rects+=("$(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /^  Width:/{w=$2} /^  Height:/{h=$2} END{print x, y, w, h}')"); done
    outer_grab "$WORK/a.ppm"
    sleep 0.3
    outer_grab "$WORK/b.ppm"
    python3 - "$WORK/a.ppm" "$WORK/b.ppm" "${rects[@]}" <<'PY'
import os, sys
sys.path.insert(0, os.path.dirname(os.environ["PET_CHECK"]))
from pet_check import read_ppm
a, b = (read_ppm(open(p, "rb").read()) for p in sys.argv[1:3])
ours = [tuple(map(int, r.split())) for r in sys.argv[3:] if r.strip()]
def away(x, y):
    return all(not (rx - 8 <= x < rx + rw + 8 and ry - 8 <= y < ry + rh + 8) for rx, ry, rw, rh in ours)
points = [(x, y) for y in range(0, a.height, 4) for x in range(0, a.width, 4)
          if away(x, y) and a.pixel(x, y) != b.pixel(x, y)]
if len(points) < 20:
    sys.exit(1)
xs, ys = sorted(p[0] for p in points), sorted(p[1] for p in points)
print(xs[len(xs) // 2], ys[len(ys) // 2])
PY
}

# A see-through pixel of the pet, in outer coordinates: a corner pixel of
# the window outside the cat's input shape.
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

menu_shows() { eventually quietly menu_window; }
menu_gone() { eventually not quietly menu_window; }

say "started"
for mode in 1 2 0; do
    start_pet "$mode"
    PET=$(pet_window) || { fail "mode $mode: no pet window"; cat "$WORK/pet.log"; stop_pet; continue; }
    check "mode $mode: the cat shows with the desktop around it, no old frames, no black" pet_clean "$PET" 4 "mode$mode"
    [ "$mode" = 1 ] && outer_shot pet
    [ "$mode" = 0 ] || stop_pet
done

say "modes looked at"
# Mode 0's window takes clicks everywhere; the region modes' only on the cat.
kill -0 "$PET_PID" 2>/dev/null || { fail "the pet has ended"; cat "$WORK/pet.log"; }
# A native Wayland window, shown before the menu opens (a window that
# appears takes the focus, which closes the menu by itself), takes the
# click that closes the menu; on X the menu's pointer grab sees it.
if [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$WAYLAND_WINDOW" >"$WORK/wayland-window.log" 2>&1 &
    WAYLAND_WINDOW_PID=$!
    OTHER_PIDS+=($WAYLAND_WINDOW_PID)
    read -r wx wy < <(wait_until 20 wayland_window_point "$PET") || { wx=; cat "$WORK/wayland-window.log"; }
else
    wx=1000 wy=5
fi
# The cat walks meanwhile, so a click may miss it: three tries.
right_click_pet() { read -r x y < <(pet_point "$PET"); outer_click "$x" "$y" 3; menu_shows; }
if ! retry 3 right_click_pet; then
    outer_shot no-menu
    fail "a right click on the cat opens its menu"
else
    pass "a right click on the cat opens its menu"
    outer_shot menu
    if [ -z "$wx" ]; then
        fail "$WAYLAND_WINDOW shows no window"
    else
        outer_click "$wx" "$wy" 1
        what="a click beside the menu (at $wx,$wy${WAYLAND_DISPLAY:+, on a Wayland window}) closes it"
        if [ "$MENU_CLOSES" = yes ]; then check "$what" menu_gone
        elif menu_gone; then echo "NOTE: $NAME: $what, though docs/linux.md says it does not here"
        else echo "KNOWN: $NAME: $what: no, as docs/linux.md says"
        fi
        outer_shot menu-after-click
    fi
fi
stop_pet
# The Wayland window has done its part (under KWin it aborted once a
# fullscreen window came).
[ -z "${WAYLAND_WINDOW_PID:-}" ] || { kill "$WAYLAND_WINDOW_PID" 2>/dev/null; wait "$WAYLAND_WINDOW_PID" 2>/dev/null; } || true

# Drag: press on the cat, move, release; the pet follows the pointer. The
# cat walks meanwhile, so a press may miss it: three tries.
start_pet 1
PET=$(pet_window)
drag() {
    read -r x y < <(pet_point "$PET")
    read -r x0 y0 < <(window_position "$PET")
    pointer_to "$x" "$y"
    DISPLAY=$OUTER xdotool mousedown 1
    # Towards the middle of the screen, so the pet's edges do not stop it.
    local sx=1 sy=1
    [ "$x" -lt 512 ] || sx=-1
    [ "$y" -lt 384 ] || sy=-1
    for step in $(seq "$DRAG_STEPS"); do
        outer_point $((x + sx * 160 * step / DRAG_STEPS)) $((y + sy * 80 * step / DRAG_STEPS))
        sleep 0.05
    done
    moved() {
        read -r px py < <(window_position "$PET")
        [ $(((px - x0) * sx)) -ge 120 ] && [ $(((py - y0) * sy)) -ge 50 ]
    }
    wait_until 3 moved; local moved=$?
    DISPLAY=$OUTER xdotool mouseup 1
    echo "  the pet went from $x0,$y0 to $px,$py"
    return $moved
}
check "a drag of 160,80 in $DRAG_STEPS steps moves the pet with the pointer" retry 3 drag

# A right click on a see-through pixel goes to what lies below, not the pet.
if read -r sx sy < <(see_through_point "$PET"); then
    outer_click "$sx" "$sy" 3
    check "a click on a see-through pixel does not reach the pet" not menu_shows
else
    fail "the pet's input shape covers its whole window"
fi

# True once a window covers the outer display's part the compositor draws:
# nearly nothing there is the desktop any more.
covered() {
    outer_grab "$WORK/covered.ppm"
    python3 - "$WORK/covered.ppm" "$WORK/before.ppm" <<'PY'
import os, sys
sys.path.insert(0, os.path.dirname(os.environ["PET_CHECK"]))
from pet_check import read_ppm
now, desktop = (read_ppm(open(p, "rb").read()) for p in sys.argv[1:3])
points = [(x, y) for y in range(10, 760, 25) for x in range(10, 1020, 25)]
sys.exit(0 if sum(now.pixel(x, y) == desktop.pixel(x, y) for x, y in points) < len(points) // 20 else 1)
PY
}

# A fullscreen window started after the pet: a tick or two later the cat
# is above it again, where the compositor lets an X window be. The window
# is a native Wayland one, or an X window the compositor's X window
# manager makes fullscreen.
above_fullscreen() {  # above_fullscreen Wayland|X
    local what="the cat shows above a fullscreen $1 window" window id
    if [ "$1" = Wayland ]; then
        weston-terminal --fullscreen >"$WORK/fullscreen.log" 2>&1 &
    else
        convert -size 1024x768 xc:'#a04030' "$WORK/cover.png"
        display -title fullscreen "$WORK/cover.png" >"$WORK/fullscreen.log" 2>&1 &
    fi
    window=$!
    OTHER_PIDS+=($window)
    if [ "$1" = X ] && id=$(wait_until 20 xdotool search --onlyvisible --name '^fullscreen$'); then
        wmctrl -i -r "$id" -b add,fullscreen
    fi
    if ! wait_until 20 covered; then
        fail "$what: no fullscreen window covers the screen"; cat "$WORK/fullscreen.log"
    elif [ "$FULLSCREEN_ABOVE" = yes ]; then
        check "$what" pet_clean "$PET" 3 "fullscreen-$1" cat
    elif pet_clean "$PET" 2 "fullscreen-$1" cat; then
        echo "NOTE: $NAME: $what, though docs/linux.md says it does not here"
    else echo "KNOWN: $NAME: $what: no, as docs/linux.md says"
    fi
    outer_shot "fullscreen-$1"
    kill "$window" 2>/dev/null; wait "$window" 2>/dev/null || true
}
say "clicked and dragged"
if [ -n "${WAYLAND_DISPLAY:-}" ]; then
    above_fullscreen Wayland
    above_fullscreen X
else
    # An X compositing manager runs beside a window manager, which it
    # leaves the stacking to.
    openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    OTHER_PIDS+=($!)
    wm_runs() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; }
    if wait_until 20 wm_runs; then above_fullscreen X; else fail "openbox does not start"; fi
fi
say "fullscreen windows looked at"
stop_pet
finish
