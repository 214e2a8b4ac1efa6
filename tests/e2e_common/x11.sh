# Probes of X windows shared by the Linux and Windows end-to-end scripts.
# Needs DISPLAY and PET_CHECK (tests/e2e_common/pet_check.py).

window_size() { xwininfo -id "$1" | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w "x" h}'; }
window_position() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}'; }

# A screen point inside the pet's shape: the middle of its largest rectangle.
pet_point() { python3 "$PET_CHECK" --display "$DISPLAY" --window "$1" --point; }

# Looks at the window's place COUNT times, every INTERVAL seconds; adds each
# to PLACES, and to OUTSIDE those outside the box LEFT..RIGHT x TOP..BOTTOM.
sample_places() {  # sample_places WINDOW COUNT INTERVAL LEFT TOP RIGHT BOTTOM
    local px py
    for _ in $(seq "$2"); do
        read -r px py < <(window_position "$1")
        PLACES+=("$px,$py")
        if [ "$px" -lt "$4" ] || [ "$px" -gt "$6" ] || [ "$py" -lt "$5" ] || [ "$py" -gt "$7" ]; then OUTSIDE+=" $px,$py"; fi
        sleep "$3"
    done
}

# The pet window's id once it is mapped (a window titled "Dorrabee", PET_SIDE
# square, 42 by default; message boxes share the title), looking TRIES times.
pet_window() {  # pet_window [TRIES]
    local id
    for _ in $(seq "${1:-150}"); do
        for id in $(xdotool search --onlyvisible --name '^Dorrabee$' 2>/dev/null); do
            if [ "$(window_size "$id")" = "${PET_SIDE:-42}x${PET_SIDE:-42}" ]; then echo "$id"; return 0; fi
        done
        sleep 0.1
    done
    return 1
}

# Every mapped pet window's id, one a line, oldest first (a client's window
# ids grow as it makes them).
pet_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Dorrabee$' 2>/dev/null | sort -n); do
        [ "$(window_size "$id")" = "${PET_SIDE:-42}x${PET_SIDE:-42}" ] && echo "$id"
    done
}
pets_living() { test "$(pet_windows | wc -l)" = "$1"; }  # pets_living N

# A window straight under the root: not an icon docked inside a tray, which
# is as unmanaged as a menu.
under_root() { xwininfo -tree -id "$1" 2>/dev/null | grep -q '^  Parent window id: .*(the root window)'; }

# The open pop-up menu's window id: an unmanaged top-level window of ours, not the pet.
menu_window() {
    local id
    for id in $(xdotool search --onlyvisible --class '^dorrabee$' 2>/dev/null); do
        [ "$(window_size "$id")" != "${PET_SIDE:-42}x${PET_SIDE:-42}" ] && under_root "$id" || continue
        xwininfo -id "$id" | grep -q 'Override Redirect State: yes' && { echo "$id"; return 0; }
    done
    return 1
}

# Takes hold of pet A (it may step away between the look and the press) and
# holds it, left button down, 8 pixels right of and below pet B; false when
# it could not be taken.
carry_over() {  # carry_over A B
    local x y ax ay hx hy bx by
    for _ in 1 2 3 4 5; do
        read -r x y < <(pet_point "$1")
        xdotool mousemove "$x" "$y" sleep 0.2 mousedown 1 sleep 0.3
        read -r ax ay < <(window_position "$1")
        xdotool mousemove $((x + 1)) $((y + 1)) sleep 0.3
        read -r hx hy < <(window_position "$1")
        if [ "$hx $hy" = "$((ax + 1)) $((ay + 1))" ]; then
            read -r bx by < <(window_position "$2")
            xdotool mousemove $((x + 1 + bx - hx + 8)) $((y + 1 + by - hy + 8)) sleep 0.3
            return 0
        fi
        xdotool mouseup 1
        sleep 0.3
    done
    return 1
}
# True when the two windows overlap.
overlapping() {  # overlapping A B
    local ax ay bx by aw ah
    read -r ax ay < <(window_position "$1")
    read -r bx by < <(window_position "$2")
    IFS=x read -r aw ah < <(window_size "$1")
    [ $((ax - bx)) -lt "$aw" ] && [ $((bx - ax)) -lt "$aw" ] && [ $((ay - by)) -lt "$ah" ] && [ $((by - ay)) -lt "$ah" ]
}
# A compositing manager owns the _NET_WM_CM_S0 selection while it runs.
compositing_manager_runs() {
    python3 - <<'PY'
import ctypes, ctypes.util, sys
x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
d = x11.XOpenDisplay(None)
sys.exit(0 if d and x11.XGetSelectionOwner(d, x11.XInternAtom(d, b"_NET_WM_CM_S0", 0)) else 1)
PY
}
