# How each compositor is started, nested in the outer display. start_NAME
# sets DISPLAY to the X server the pet runs on and, for a Wayland
# compositor, WAYLAND_DISPLAY; it skips (never passes) when the compositor
# cannot start here. DESKTOP_KIND says whether the compositor's own background
# is the desktop (own) or an X window must be put below the pet (backdrop);
# MENU_CLOSES=no where a click on a Wayland window that has the focus
# leaves the menu open (docs/linux.md): that check prints a KNOWN line, as
# does the one above a fullscreen window where FULLSCREEN_ABOVE=no.
# WAYLAND_WINDOW is the animated native Wayland program clicked to close the
# menu; a drag moves the pointer in DRAG_STEPS steps.
DESKTOP_KIND=backdrop
MENU_CLOSES=yes
FULLSCREEN_ABOVE=yes
DRAG_STEPS=8
WAYLAND_WINDOW=weston-simple-shm

# The X display its XWayland listens on: the socket beside the outer one,
# ready once the compositor's X window manager runs (a window mapped before
# it would never be shown).
xwayland_display() {
    local socket
    for socket in /tmp/.X11-unix/X*; do
        [ -e "$socket" ] && [ ":${socket##*X}" != "$OUTER" ] || continue
        xprop -display ":${socket##*X}" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window || continue
        export DISPLAY=":${socket##*X}"
        return 0
    done
    return 1
}

# A Wayland socket in our runtime folder, named by the compositor.
wayland_socket() {
    local socket
    for socket in "$XDG_RUNTIME_DIR"/wayland-*; do
        [ -S "$socket" ] && { export WAYLAND_DISPLAY=${socket##*/}; return 0; }
    done
    return 1
}

# Starting takes a minute at worst on a loaded two-core machine.
STARTUP=90

start_weston() {
    command -v weston >/dev/null || skip "weston is not installed"
    DESKTOP_KIND=own
    FULLSCREEN_ABOVE=no
    printf '[core]\nxwayland=true\n[shell]\nbackground-color=0xff%s\npanel-position=none\nlocking=false\n' \
        "${DESKTOP_COLOUR#\#}" >"$WORK/weston.ini"
    export WAYLAND_DISPLAY=dorrabee-weston
    DISPLAY=$OUTER weston --backend=x11-backend.so --width=1024 --height=768 --use-pixman --xwayland \
        --socket="$WAYLAND_DISPLAY" --config="$WORK/weston.ini" >"$WORK/weston.log" 2>&1 &
    OTHER_PIDS+=($!)
    wait_until $STARTUP xwayland_display || skip "weston's XWayland did not start"
}

start_mutter() {
    command -v mutter >/dev/null || skip "mutter is not installed"
    export WAYLAND_DISPLAY=dorrabee-mutter
    DISPLAY=$OUTER MUTTER_DEBUG_DUMMY_MODE_SPECS=1024x768 dbus-run-session -- \
        mutter --nested --wayland --wayland-display="$WAYLAND_DISPLAY" >"$WORK/mutter.log" 2>&1 &
    OTHER_PIDS+=($!)
    # Its XWayland admits only holders of the cookie it writes.
    mutter_cookie() {
        local cookie
        for cookie in "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.*; do
            [ -s "$cookie" ] && { export XAUTHORITY=$cookie; return 0; }
        done
        return 1
    }
    wait_until $STARTUP mutter_cookie && wait_until $STARTUP xwayland_display ||
        skip "mutter's XWayland did not start"
}

# Debian's kwin_wayland carries file capabilities that a container refuses,
# so a plain copy of it is run; software compositing.
start_kwin() {
    command -v kwin_wayland >/dev/null || skip "kwin_wayland is not installed"
    cp "$(command -v kwin_wayland)" "$WORK/kwin_wayland"
    MENU_CLOSES=no
    export WAYLAND_DISPLAY=dorrabee-kwin
    DISPLAY=$OUTER QT_QPA_PLATFORM=wayland KWIN_COMPOSE=Q dbus-run-session -- "$WORK/kwin_wayland" \
        --x11-display "$OUTER" --width 1024 --height 768 --xwayland --socket "$WAYLAND_DISPLAY" \
        >"$WORK/kwin.log" 2>&1 &
    OTHER_PIDS+=($!)
    wait_until $STARTUP xwayland_display || skip "KWin's XWayland did not start"
}

# Sway will not run as root: it runs as nobody, with a runtime folder of
# nobody's, and its XWayland (started on the first X client) lets root in
# once told to. (weston-simple-shm and -damage stop at once under sway:
# "Both buffers busy at redraw()".)
start_sway() {
    command -v sway >/dev/null || skip "sway is not installed"
    chown 65534:65534 "$XDG_RUNTIME_DIR"
    DESKTOP_KIND=own
    MENU_CLOSES=no
    # Sway 1.7 sends a held button's motion only while the pointer is over
    # the pet's surface, so a drag must not outrun the window (docs/linux.md).
    DRAG_STEPS=80
    WAYLAND_WINDOW=weston-presentation-shm
    printf 'output * bg %s solid_color\ndefault_border none\nxwayland enable\n' "$DESKTOP_COLOUR" >"$WORK/sway.conf"
    chmod a+rx "$WORK" && chmod a+r "$WORK/sway.conf"
    DISPLAY=$OUTER WLR_BACKENDS=x11 WLR_X11_OUTPUTS=1 WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        setpriv --reuid=65534 --regid=65534 --clear-groups sway -d -c "$WORK/sway.conf" >"$WORK/sway.log" 2>&1 &
    OTHER_PIDS+=($!)
    wait_until $STARTUP wayland_socket || skip "sway did not start"
    let_root_in() {
        local socket
        for socket in /tmp/.X11-unix/X*; do
            [ -e "$socket" ] && [ ":${socket##*X}" != "$OUTER" ] || continue
            DISPLAY=":${socket##*X}" setpriv --reuid=65534 --regid=65534 --clear-groups \
                xhost +si:localuser:root >/dev/null 2>&1 && return 0
        done
        return 1
    }
    wait_until $STARTUP let_root_in && wait_until $STARTUP xwayland_display || skip "sway's XWayland did not start"
}

# X compositing managers on the outer Xvfb itself.
start_x_compositing_manager() {  # start_x_compositing_manager COMMAND...
    command -v "$1" >/dev/null || skip "$1 is not installed"
    export DISPLAY=$OUTER
    "$@" >"$WORK/$1.log" 2>&1 &
    OTHER_PIDS+=($!)
    wait_until $STARTUP compositing_manager_runs || skip "$1 did not start"
}

start_xcompmgr() { start_x_compositing_manager xcompmgr; }
# Debian's /etc/xdg/picom.conf casts shadows; none here, so the pixels
# around the cat are the desktop's.
start_picom() { start_x_compositing_manager picom --config /dev/null --backend xrender; }
