# The pet on sway's XWayland, sway nested in a private Xvfb. Sway will not
# run as root: it runs as nobody, with a runtime folder of nobody's.
. "$(dirname "$0")/lib.sh"
command -v sway >/dev/null || skip "sway is not installed"
start_outer
chown 65534:65534 "$XDG_RUNTIME_DIR"
printf 'output * bg #3070a0 solid_color\ndefault_border none\nxwayland enable\n' >"$WORK/sway.conf"
chmod a+rx "$WORK"
chmod a+r "$WORK/sway.conf"
DISPLAY=$OUTER WLR_BACKENDS=x11 WLR_X11_OUTPUTS=1 WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    setpriv --reuid=65534 --regid=65534 --clear-groups sway -d -c "$WORK/sway.conf" >"$WORK/sway.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do
    WAYLAND_DISPLAY=$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-* 2>/dev/null | grep -v lock | head -n 1)" 2>/dev/null) || true
    [ -n "$WAYLAND_DISPLAY" ] && break
    sleep 0.1
done
[ -n "$WAYLAND_DISPLAY" ] || skip "sway did not start"
export WAYLAND_DISPLAY
# Its XWayland starts on the first X client, on the display socket beside ours.
DISPLAY=""
for _ in $(seq 50); do
    for socket in /tmp/.X11-unix/X*; do [ ":${socket##*X}" != "$OUTER" ] && DISPLAY=":${socket##*X}"; done
    [ -n "$DISPLAY" ] && break
    sleep 0.1
done
# Its XWayland, nobody's, lets only nobody in until told otherwise.
for _ in $(seq 50); do
    DISPLAY=$DISPLAY setpriv --reuid=65534 --regid=65534 --clear-groups xhost +si:localuser:root >/dev/null 2>&1 && break
    sleep 0.1
done
DISPLAY=$(xwayland_from_log /dev/null "" "$DISPLAY") || skip "sway's XWayland did not start"
export DISPLAY
. "$(dirname "$0")/checks.sh"
finish
