#!/usr/bin/env bash
# The pet on a screen scaled to 200 % (the prefix's LogPixels at 192): an
# 84 x 84 window showing an image of the sheet in 2 x 2 blocks, fenced in by
# the margins in screen pixels while it is carried and while it walks, and
# an About dialog whose pictures are twice their size.
PET_SIDE=84
. "$(dirname "$0")/lib.sh"
# The prefix is shared by the run: put its scaling back however this ends.
DESKTOP_KEY='HKCU\Control Panel\Desktop'
trap 'wine reg delete "$DESKTOP_KEY" /v LogPixels /f >/dev/null 2>&1 || true; cleanup' EXIT
wine reg add "$DESKTOP_KEY" /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
start_display
write_ini "Left Margin=101" "Top Margin=51" "Right Margin=31" "Bottom Margin=21"
# A life that walks while it is watched and then sits still to be picked up
# (dorrabee-sim --seed 11 --screen 512x384 --margins 26,51,11,16: it moves
# from tick 3 to 40 and stays put to tick 90): with a clock-chosen one the
# cat may sit out the whole look, or walk out from under the press.
export DORRABEE_SEED=11
start_pet
pet=$(pet_window) || { fail "no 84x84 pet window"; finish; }
pass "an 84x84 window titled Dorrabee appears"
PLACES=() OUTSIDE=""
sample_places "$pet" 1 0 102 52 908 662

zoomed_pet() {
    local out
    for _ in 1 2 3 4 5; do
        out=$(python3 "$PET_CHECK" --display "$DISPLAY" --window "$pet" --resources "$RESOURCES" --zoom 2) &&
            { echo "$out"; return 0; }
        sleep 0.05
    done
    echo "$out"
    return 1
}
sleep 0.5
shot zoomed-pet
if look=$(zoomed_pet); then pass "its shape and pixels are an image of the sheet in 2x2 blocks: $look"; else fail "$look"; fi

# Every place it walks to is inside the margins, rounded up to whole pet
# pixels: 101 -> 102, 51 -> 52, 1024 - 84 - 32 = 908, 768 - 84 - 22 = 662.
sample_places "$pet" 40 0.15 102 52 908 662
check "it walks (${PLACES[0]} ... ${PLACES[-1]})" test "$(printf '%s\n' "${PLACES[@]}" | sort -u | wc -l)" -ge 2
check "it stays inside the margins${OUTSIDE:+ (left them at$OUTSIDE)}" test -z "$OUTSIDE"

read -r x y < <(pet_point "$pet")
xdotool mousemove "$x" "$y" sleep 0.2 mousedown 1 sleep 0.3 mousemove 500 400 sleep 0.4
read -r px py < <(window_position "$pet")
check "a drag carries it under the pointer (window at $px,$py)" \
    test "$px" -le 500 -a $((px + 84)) -gt 500 -a "$py" -le 400 -a $((py + 84)) -gt 400
xdotool mousemove 0 0 sleep 0.4
check "carried to the top-left it stops at the margins" test "$(window_position "$pet")" = "102 52"
xdotool mousemove 1023 767 sleep 0.4
check "carried to the bottom-right it stops at the margins" test "$(window_position "$pet")" = "908 662"
xdotool mousemove 600 400 sleep 0.3 mouseup 1

choose "$pet" a
for _ in $(seq 30); do [ "$(inspect about | sed -n 's/^count=//p')" = 1 ] && break; sleep 0.2; done
client=$(inspect about | sed -n 's/^client=//p')
sleep 0.8
shot zoomed-about
if look=$(python3 "$HERE/about_check.py" --display "$DISPLAY" --zoom 2 --client "$client" --resources "$RESOURCES" \
    --pet-check "$PET_CHECK"); then
    pass "About's title and scene are twice their size: $look"
else
    fail "$look"
fi
finish
