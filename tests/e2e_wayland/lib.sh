# Shared by the compositor end-to-end run (run.sh): a private Xvfb (the
# "outer" display, where every screenshot is taken and all input is sent),
# a compositor nested in it, and the pet on that compositor's X server
# (XWayland, or the Xvfb itself for an X compositing manager).
#
# Each run happens in mount, network and process namespaces of its own
# (re-executed under unshare), with its own /tmp and runtime folder, so
# neither its X display numbers nor its Wayland sockets can meet the
# machine's others, and nothing it started outlives it: a compositor's
# D-Bus daemon or XWayland left running would hold CTest's output open
# until the test timed out. A compositor that cannot start here is skipped
# with a line that says why (exit 77). Waits poll for the state they need,
# up to a deadline, so a loaded machine only makes them slower. The checks'
# tally comes from the end-to-end scripts' common library.
set -euo pipefail
SKIP=77
: "${DORRABEE:?}" "${RESOURCES:?}" "${PET_CHECK:?}" "${SHOTS:?}"
NAME=${1:?usage: run.sh COMPOSITOR}

# The first process of a new process namespace is number 1: only there is
# /tmp replaced.
if [ "$$" != 1 ]; then
    if ! command -v unshare >/dev/null || [ "$(id -u)" != 0 ]; then
        echo "SKIP: $NAME: needs root and unshare for a private /tmp and network"; exit $SKIP
    fi
    exec unshare -m -n -p --kill-child --mount-proc --propagation private bash "$0" "$@"
fi
mount -t tmpfs -o mode=1777 tmpfs /tmp
mkdir -m 1777 /tmp/.X11-unix
export XDG_RUNTIME_DIR=/tmp/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY

WORK=$(mktemp -d /tmp/dorrabee-e2e.XXXXXX)
SHOTS="$SHOTS/wayland-$NAME"
rm -rf "$SHOTS"
. "$(dirname "${BASH_SOURCE[0]}")/../e2e_common/lib.sh"
# Ends what the run started without waiting for it: whatever outlives its
# signal ends with the namespace.
trap 'for pid in $PET_PID "${OTHER_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT

say() { echo "[$SECONDS s] $*"; }
skip() {
    echo "SKIP: $NAME: $*"
    for log in "$WORK"/*.log; do [ -s "$log" ] && { echo "-- $log"; tail -n 5 "$log"; }; done
    exit $SKIP
}

# Runs the command until it succeeds, every 0.2 s, for at most SECONDS.
wait_until() {  # wait_until SECONDS COMMAND...
    local end=$((SECONDS + $1)); shift
    until "$@"; do [ "$SECONDS" -lt "$end" ] || return 1; sleep 0.2; done
}

# ---- the outer display

start_outer() {
    exec 3< <(Xvfb -displayfd 1 -screen 0 1024x800x24 -noreset -nolisten tcp 2>"$WORK/xvfb.log")
    OTHER_PIDS+=($!)
    read -r -t 30 OUTER <&3 || skip "Xvfb did not start"
    OUTER=":$OUTER"
}

# The outer display is taller than the compositor's window at its corner:
# a nested compositor takes pointer input only after the pointer entered
# its window, which it cannot do when the window covers the screen. The
# pointer then rests on the window's last pixel, as weston draws it over
# the desktop the looks compare with.
park_pointer() { outer_point 1000 790; sleep 0.2; pointer_to 1023 767; }

outer_grab() { "$IMPORT" -display "$OUTER" -window root -depth 8 "ppm:$1"; }
outer_shot() { "$IMPORT" -display "$OUTER" -window root "$SHOTS/$1.png"; }
outer_point() { DISPLAY=$OUTER xdotool mousemove "$1" "$2"; }
# (The pointer rests a moment before the click, so the compositor has
# given the window under it the pointer.)
outer_click() { pointer_to "$1" "$2"; sleep 0.1; DISPLAY=$OUTER xdotool click "$3"; }
# (Weston takes the pointer's place from a motion within its window, not
# from the crossing into it.)
pointer_to() { outer_point $(($1 + 1)) "$2"; outer_point "$1" "$2"; }

# The desktop: the compositor's own solid background where it has one
# (weston and sway, set to #3070a0), else a patterned X window the size of
# the screen, below everything (KWin's own background is black, and an X
# compositing manager shows whatever the root holds).
DESKTOP_COLOUR='#3070a0'
make_desktop() {  # make_desktop own|backdrop
    if [ "$1" = own ]; then
        convert -size 1024x768 "xc:$DESKTOP_COLOUR" -depth 8 "$WORK/desktop.ppm"
        return
    fi
    convert -size 1024x768 pattern:checkerboard -fill "$DESKTOP_COLOUR" -colorize 50% -depth 8 "$WORK/desktop.png"
    convert "$WORK/desktop.png" "$WORK/desktop.ppm"
    display -backdrop -geometry +0+0 "$WORK/desktop.png" >/dev/null 2>&1 &
    OTHER_PIDS+=($!)
}

# True once the outer display shows the desktop's colours (below where a
# window manager puts a title on the backdrop) and stands still; the
# screenshot is then the desktop every look compares with
# ($WORK/before.ppm).
desktop_shows() {
    outer_grab "$WORK/now.ppm"
    if python3 - "$WORK/now.ppm" "$WORK/desktop.ppm" <<'PY' && cmp -s "$WORK/now.ppm" "$WORK/last.ppm"
import os, sys
sys.path.insert(0, os.path.dirname(os.environ["PET_CHECK"]))
from pet_check import read_ppm
now, desktop = (read_ppm(open(p, "rb").read()) for p in sys.argv[1:3])
points = [(x, y) for y in range(60, 740, 37) for x in range(30, 1000, 41)]
colours = {desktop.pixel(x, y) for x, y in points}
sys.exit(0 if {now.pixel(x, y) for x, y in points} == colours else 1)
PY
    then mv "$WORK/now.ppm" "$WORK/before.ppm"
    else mv "$WORK/now.ppm" "$WORK/last.ppm"; return 1
    fi
}

# True once a newly mapped X window shows on the outer display: a red
# square, looked for anywhere (a window manager may place and frame it).
# The compositor is ready for the pet once one has: weston 10 left the
# first pets mapped but unseen, whenever they came, until some window had
# shown (once a framed window had, every later pet showed). Each try maps
# a new window.
x_window_shows() {
    [ -e "$WORK/probe.png" ] || convert -size 64x64 xc:'#ff0000' "$WORK/probe.png"
    display -geometry +200+200 "$WORK/probe.png" >/dev/null 2>&1 &
    local probe=$! shown=1
    for _ in $(seq 25); do
        outer_grab "$WORK/probe.ppm"
        if python3 - "$WORK/probe.ppm" <<'PY'
import os, sys
sys.path.insert(0, os.path.dirname(os.environ["PET_CHECK"]))
from pet_check import read_ppm
shot = read_ppm(open(sys.argv[1], "rb").read())
sys.exit(0 if shot.data.count(b"\xff\x00\x00") >= 32 * 32 else 1)
PY
        then shown=0; break; fi
        sleep 0.2
    done
    kill "$probe" 2>/dev/null
    wait "$probe" 2>/dev/null
    return $shown
}

# ---- the pet, on DISPLAY

start_pet() {  # start_pet MODE
    # Staying above fullscreen windows is what these desktops are checked for.
    printf '[Setup]\nMode=%s\nHide For Fullscreen=0\n' "$1" >"$WORK/dorra.ini"
    cp "$DORRABEE" "$WORK/dorrabee"
    (cd "$WORK" && exec env QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY= ./dorrabee >"$WORK/pet.log" 2>&1) &
    PET_PID=$!
    OTHER_PIDS+=($PET_PID)
}

stop_pet() { kill "$PET_PID" 2>/dev/null || true; wait "$PET_PID" 2>/dev/null || true; }

# The pet's pixels on the outer display: wherever its image is the key
# colour, exactly the desktop (or, with "cat", anything); elsewhere the
# image. Looked at TIMES times while it walks (a look waits until the window
# stood still across it).
pet_clean() {  # pet_clean WINDOW TIMES NAME [cat]
    local good=0 out before=(--before "$WORK/before.ppm")
    [ "${4-}" != cat ] || before=()
    for i in $(seq "$2"); do
        # A compositor paints a moment after the window changed: a look
        # counts when one of three screenshots in a row shows it right.
        for _ in 1 2 3; do
            out=$(python3 "$PET_CHECK" --display "$DISPLAY" --window "$1" --resources "$RESOURCES" \
                      --mode standard "${before[@]}" --screen "$OUTER" \
                      --save "$WORK/look.png" 2>&1) && break
        done && good=$((good + 1)) || {
            echo "  look $i: $out"
            cp "$WORK/look.png" "$SHOTS/$3-look$i.png" 2>/dev/null || true
        }
        sleep 0.3
    done
    echo "  $3: $good of $2 looks show the cat${before[*]:+ with the desktop around it}"
    # A look may fall between a tick's move and its paint; most may not.
    [ "$good" -ge $(($2 - 1)) ]
}

retry() {  # retry TIMES COMMAND...
    local times=$1; shift
    for _ in $(seq "$times"); do "$@" && return 0; done
    return 1
}
