# The pet on KWin's XWayland, KWin nested in a private Xvfb, software
# compositing. Debian's kwin_wayland carries file capabilities that a
# container refuses, so a plain copy of it is run.
. "$(dirname "$0")/lib.sh"
command -v kwin_wayland >/dev/null || skip "kwin_wayland is not installed"
start_outer
cp /usr/bin/kwin_wayland "$WORK/kwin_wayland"
DISPLAY=$OUTER QT_QPA_PLATFORM=wayland KWIN_COMPOSE=Q dbus-run-session -- "$WORK/kwin_wayland" \
    --x11-display "$OUTER" --width 1024 --height 768 --xwayland --socket dorrabee-kwin >"$WORK/kwin.log" 2>&1 &
PIDS+=($!)
export WAYLAND_DISPLAY=dorrabee-kwin
DISPLAY=""
for _ in $(seq 100); do
    for socket in /tmp/.X11-unix/X*; do [ ":${socket##*X}" != "$OUTER" ] && DISPLAY=":${socket##*X}"; done
    [ -n "$DISPLAY" ] && break
    sleep 0.1
done
[ -n "$DISPLAY" ] || skip "KWin's XWayland did not start"
DISPLAY=$(xwayland_from_log /dev/null "" "$DISPLAY") || skip "KWin's XWayland did not start"
export DISPLAY
# KWin alone shows a black desktop: a patterned X window over the whole
# screen, below the pet, makes old frames and black around the cat visible.
/usr/bin/convert -size 1024x768 pattern:checkerboard -fill '#3070a0' -colorize 50% "$WORK/desktop.png"
display -backdrop -geometry +0+0 "$WORK/desktop.png" >/dev/null 2>&1 &
PIDS+=($!)
sleep 2
. "$(dirname "$0")/checks.sh"
finish
