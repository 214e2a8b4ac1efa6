# Shared by the compositor end-to-end scripts: a private Xvfb (the "outer"
# display, where every screenshot is taken), a compositor nested in it, and
# the pet on that compositor's X server (XWayland, or the Xvfb itself for an
# X compositing manager).
#
# Each script runs in a mount and network namespace of its own (re-executed
# under unshare), with its own /tmp, so neither its X display numbers nor
# its Wayland sockets can meet the machine's others. A compositor that
# cannot start here is skipped with a line that says why (exit 77).
set -euo pipefail
SKIP=77
: "${DORRABEE:?}" "${RESOURCES:?}" "${PET_CHECK:?}" "${SHOTS:?}"

if [ -z "${DORRABEE_NAMESPACED:-}" ]; then
    if ! command -v unshare >/dev/null || [ "$(id -u)" != 0 ]; then
        echo "SKIP: needs root and unshare for a private /tmp and network"; exit $SKIP
    fi
    DORRABEE_NAMESPACED=1 exec unshare -m -n --propagation private bash "$0" "$@"
fi
mount -t tmpfs -o mode=1777 tmpfs /tmp
mkdir -m 1777 /tmp/.X11-unix
export XDG_RUNTIME_DIR=/tmp/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
. "$(dirname "${BASH_SOURCE[0]}")/../e2e_common/x11.sh"

NAME=$(basename "$0" .sh)
IMPORT=/usr/bin/import
WORK=$(mktemp -d /tmp/dorrabee-e2e.XXXXXX)
SHOTS="$SHOTS/wayland-$NAME"
mkdir -p "$SHOTS"
PIDS=()
FAILURES=0

cleanup() {
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }
pass() { echo "ok: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
skip() { echo "SKIP: $NAME: $*"; for log in "$WORK"/*.log; do [ -s "$log" ] && tail -n 5 "$log"; done; exit $SKIP; }
finish() {
    echo "screenshots: $SHOTS"
    [ "$FAILURES" -eq 0 ] || { echo "$FAILURES check(s) failed" >&2; exit 1; }
}

# ---- the outer display

start_outer() {
    exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -noreset -nolisten tcp 2>"$WORK/xvfb.log")
    PIDS+=($!)
    read -r -t 10 OUTER <&3 || skip "Xvfb did not start"
    OUTER=":$OUTER"
}

outer_shot() { "$IMPORT" -display "$OUTER" -window root "$SHOTS/$1.png"; }

# The X display a compositor's XWayland listens on, from its log.
xwayland_from_log() {  # xwayland_from_log LOG PATTERN [DISPLAY known already]
    local number=${3#:}
    for _ in $(seq 150); do
        [ -n "${3:-}" ] || number=$(grep -oE "$2" "$1" 2>/dev/null | grep -oE '[0-9]+$' | head -n 1) || true
        # Ready once the compositor's X window manager runs: a window mapped
        # before it would never be shown.
        if [ -n "$number" ] && xprop -display ":$number" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window
        then echo ":$number"; return 0; fi
        sleep 0.1
    done
    return 1
}

# ---- the pet, on DISPLAY

start_pet() {  # start_pet MODE
    printf '[Setup]\nMode=%s\n' "$1" >"$WORK/dorra.ini"
    cp "$DORRABEE" "$WORK/dorrabee"
    (cd "$WORK" && exec env QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY= ./dorrabee >"$WORK/pet.log" 2>&1) &
    PET_PID=$!
    PIDS+=($PET_PID)
}

stop_pet() { kill "$PET_PID" 2>/dev/null || true; wait "$PET_PID" 2>/dev/null || true; }


# The pet's pixels on the outer display: wherever its image is the key
# colour, exactly what the screen showed before the pet came ($WORK/before.ppm);
# elsewhere the image. Looked at several times while it walks.
pet_clean() {  # pet_clean WINDOW TIMES NAME
    local good=0 out
    for i in $(seq "$2"); do
        if out=$(python3 "$PET_CHECK" --display "$DISPLAY" --window "$1" --resources "$RESOURCES" \
                     --mode standard --before "$WORK/before.ppm" --screen "$OUTER" 2>&1); then
            good=$((good + 1))
        else
            echo "  look $i: $out"
            python3 "$PET_CHECK" --display "$DISPLAY" --window "$1" --resources "$RESOURCES" --mode standard \
                --before "$WORK/before.ppm" --screen "$OUTER" --save "$SHOTS/$3-look$i.png" >/dev/null 2>&1 || true
        fi
        sleep 0.3
    done
    echo "  $3: $good of $2 looks show the cat with the desktop around it"
    # A look may fall between a tick's move and its paint; most may not.
    [ "$good" -ge $(($2 - 1)) ]
}
