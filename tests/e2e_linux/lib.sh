# Shared by the Linux end-to-end scripts (beside tests/e2e_common/lib.sh):
# the program started from a folder of its own so that its dorra.ini lands
# there, and probes of stacking and of the menu.
#
# Each script is run as:  script.sh none|openbox
# with DORRABEE (the program), RESOURCES (resources/), PET_CHECK
# (tests/e2e_common/pet_check.py) and SHOTS (where screenshots go) set.
WM=${1:-none}
: "${DORRABEE:?}" "${RESOURCES:?}" "${PET_CHECK:?}" "${SHOTS:?}"
WORK=$(mktemp -d /tmp/dorrabee-e2e.XXXXXX)
SHOTS="$SHOTS/$(basename "$0" .sh)-$WM"
PET_DIR=$WORK INI_EOL='\n'
# Where start at login writes (never the user's own).
export XDG_CONFIG_HOME=$WORK/config
AUTOSTART=$XDG_CONFIG_HOME/autostart/dorrabee.desktop
DESKTOP=(pattern:checkerboard -fill '#3070a0' -colorize 50%)
. "$(dirname "${BASH_SOURCE[0]}")/../e2e_common/lib.sh"

# The locales the program is started in, made once beside the program (a
# locale the C library does not have would leave the program in "C").
LOCALES="$(dirname "$DORRABEE")/e2e-locales"
for name in zh_CN en_US; do
    [ -d "$LOCALES/$name.UTF-8" ] && continue
    mkdir -p "$LOCALES"
    part=$(mktemp -d "$LOCALES/.$name.XXXXXX")
    localedef -i $name -f UTF-8 "$part/$name.UTF-8" 2>/dev/null || echo "cannot make the $name.UTF-8 locale" >&2
    mv -T "$part/$name.UTF-8" "$LOCALES/$name.UTF-8" 2>/dev/null || true  # another test may have made it meanwhile
    rm -rf "$part"
done

# The program runs on a Chinese desktop (its menu and dialogs as they have
# always read) unless PET_LANG names another locale.
start_pet() {
    [ -e "$WORK/dorrabee" ] || cp "$DORRABEE" "$WORK/dorrabee"
    (cd "$WORK" && exec env QT_QPA_PLATFORM= LOCPATH="$LOCALES" LC_ALL= LC_MESSAGES= LANGUAGE= \
        LANG="${PET_LANG:-zh_CN.UTF-8}" ./dorrabee >"$WORK/pet.log" 2>&1) &
    PET_PID=$!
}

# The 1024 x 768 screen as two RandR monitors side by side, the primary on
# the right (the server keeps them: start_display runs it with -noreset).
split_screen() {
    xrandr --setmonitor '*right' 512/135x768/203+512+0 screen >/dev/null &&
        xrandr --setmonitor left 512/135x768/203+0+0 none >/dev/null
}

# Two RandR monitors of different sizes, the primary on the left: 640 x 768
# and 384 x 480 beside it, which leaves a dead zone of 384 x 288 below the
# right one.
split_screen_unequal() {
    xrandr --delmonitor right >/dev/null 2>&1
    xrandr --delmonitor left >/dev/null 2>&1
    xrandr --setmonitor '*left' 640/169x768/203+0+0 screen >/dev/null &&
        xrandr --setmonitor right 384/101x480/127+640+0 none >/dev/null
}

# A panel from x LEFT to x RIGHT (its last pixel column) and y TOP to
# BOTTOM, at the bottom of a monitor: a dock window titled "dock" declaring
# the strut such a panel declares (_NET_WM_STRUT_PARTIAL, counted from the
# bottom of the 1024 x 768 root). Its pid in DOCK_PID.
start_dock() {  # start_dock LEFT TOP RIGHT BOTTOM
    local id
    xlogo -title dock -geometry $(($3 - $1 + 1))x$(($4 - $2))+$1+$2 &
    DOCK_PID=$!
    id=$(xdotool search --sync --name '^dock$' | head -n1) || return 1
    xprop -id "$id" -f _NET_WM_STRUT_PARTIAL 32c \
        -set _NET_WM_STRUT_PARTIAL "0, 0, 0, $((768 - $2)), 0, 0, 0, 0, 0, 0, $1, $3"
    # A window manager reads the kind of a window as it is mapped: mapped
    # again as a dock, it has no frame, as panels have none.
    xprop -id "$id" -f _NET_WM_WINDOW_TYPE 32a -set _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DOCK
    xdotool windowunmap --sync "$id" windowmap --sync "$id"
}

# The child of the root that holds a window: itself, or a window manager's frame.
top_level() {
    local window=$1 parent root
    root=$(xwininfo -root | awk '/Window id:/{print $4; exit}')
    while parent=$(xwininfo -id "$window" -tree | awk '/Parent window id:/{print $4; exit}') &&
          [ -n "$parent" ] && [ "$((parent))" != "$((root))" ]; do
        window=$parent
    done
    echo "$window"
}

# True when window A is stacked above window B (xwininfo lists the root's
# children topmost first).
stacked_above() {
    local a b
    a=$(($(top_level "$1"))) b=$(($(top_level "$2")))
    for id in $(xwininfo -root -children | awk '$1 ~ /^0x/ {print $1}'); do
        [ "$((id))" = "$a" ] && return 0
        [ "$((id))" = "$b" ] && return 1
    done
    return 1
}

# True when A, wherever it overlaps the pet, is stacked above it.
above_pet_where_they_meet() {  # above_pet_where_they_meet WINDOW PET
    local ax ay aw ah px py
    read -r ax ay < <(window_position "$1")
    IFS=x read -r aw ah < <(window_size "$1")
    read -r px py < <(window_position "$2")
    if [ $((px + PET_SIDE)) -le "$ax" ] || [ "$px" -ge $((ax + aw)) ] ||
       [ $((py + PET_SIDE)) -le "$ay" ] || [ "$py" -ge $((ay + ah)) ]; then
        echo "(the pet walked off it)"
        return 0
    fi
    stacked_above "$1" "$2"
}

pet_visible() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Dorrabee$' 2>/dev/null); do
        [ "$(window_size "$id")" = "${PET_SIDE}x${PET_SIDE}" ] && return 0
    done
    return 1
}

no_window_named() {
    local id
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        [ "$(window_size "$id")" = "${PET_SIDE}x${PET_SIDE}" ] || return 1
    done
    return 0
}

# Opens the menu and presses the item's mnemonic.
open_menu_item() {  # open_menu_item PET KEY
    if open_menu "$1"; then xdotool key "$2"; return 0; fi
    shot menu-does-not-open
    fail "the menu does not open (pet at $(window_position "$1"))"
    return 1
}
