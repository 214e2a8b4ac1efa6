# The pet on a plain X server with a compositing manager (xcompmgr): drawn
# see-through, as under a Wayland compositor, on a patterned desktop.
. "$(dirname "$0")/lib.sh"
command -v xcompmgr >/dev/null || skip "xcompmgr is not installed"
start_outer
export DISPLAY=$OUTER
/usr/bin/convert -size 1024x768 pattern:checkerboard -fill '#3070a0' -colorize 50% "$WORK/desktop.png"
display -window root "$WORK/desktop.png" 2>/dev/null || true
xcompmgr >"$WORK/xcompmgr.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && python3 - <<'PY' && break
import ctypes, ctypes.util, sys
x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
d = x11.XOpenDisplay(None)
sys.exit(0 if x11.XGetSelectionOwner(d, x11.XInternAtom(d, b"_NET_WM_CM_S0", 0)) else 1)
PY
    sleep 0.1
done
. "$(dirname "$0")/checks.sh"
finish
