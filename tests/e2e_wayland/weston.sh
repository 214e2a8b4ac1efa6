# The pet on weston's XWayland, weston nested in a private Xvfb.
. "$(dirname "$0")/lib.sh"
command -v weston >/dev/null || skip "weston is not installed"
start_outer
printf '[core]\nxwayland=true\n[shell]\nbackground-color=0xff3070a0\npanel-position=none\nlocking=false\n' \
    >"$WORK/weston.ini"
DISPLAY=$OUTER weston --backend=x11-backend.so --width=1024 --height=768 --use-pixman --xwayland \
    --socket=dorrabee-weston --config="$WORK/weston.ini" >"$WORK/weston.log" 2>&1 &
PIDS+=($!)
export WAYLAND_DISPLAY=dorrabee-weston
DISPLAY=$(xwayland_from_log "$WORK/weston.log" 'xserver listening on display :[0-9]+') ||
    skip "weston's XWayland did not start"
export DISPLAY
# Its shell shows X windows only a moment after its window manager is up:
# one mapped sooner stays unseen.
sleep 3
. "$(dirname "$0")/checks.sh"
finish
