#!/usr/bin/env bash
# Dragging: the pet follows the pointer with the point it was taken by,
# stays inside the margins however far the pointer goes, and lives on once
# released.
. "$(dirname "$0")/lib.sh"
start_display
write_ini "Top Margin=50" "Bottom Margin=60" "Left Margin=100" "Right Margin=200"
start_pet
pet=$(pet_window) || { fail "no pet window appears"; finish; }

# Take hold of the pet (it may step away between the look and the press).
held=""
for _ in 1 2 3 4 5; do
    read -r px py < <(pet_point "$pet")
    xdotool mousemove "$px" "$py" sleep 0.2 mousedown 1
    sleep 0.3
    read -r wx wy < <(window_position "$pet")
    xdotool mousemove $((px + 1)) $((py + 1)) sleep 0.3
    read -r ax ay < <(window_position "$pet")
    if [ "$ax $ay" = "$((wx + 1)) $((wy + 1))" ]; then held=yes; break; fi
    xdotool mouseup 1
    sleep 0.3
done
check "a press on the pet takes hold of it" test -n "$held"

# The grabbed point stays under the pointer.
gx=$((px + 1 - ax)) gy=$((py + 1 - ay))
for point in "500 400" "455 410" "467 377"; do
    read -r x y <<<"$point"
    xdotool mousemove "$x" "$y" sleep 0.4
    check "the pet follows the pointer to $x,$y" test "$(window_position "$pet")" = "$((x - gx)) $((y - gy))"
done

# However far the pointer goes, the pet stays inside the margins.
xdotool mousemove 0 0 sleep 0.4
check "dragged to the top left corner it stops at the margins" test "$(window_position "$pet")" = "100 50"
xdotool mousemove 1023 767 sleep 0.4
check "dragged to the bottom right corner it stops at the margins" \
    test "$(window_position "$pet")" = "$((1024 - 200 - 42)) $((768 - 60 - 42))"
xdotool mousemove 600 400 sleep 0.4
shot carried
xdotool mouseup 1

# Let go, it lives on by itself.
first=$(pet_shows "$pet") || fail "after the drop the window shows no image: $first"
changed=$(pet_changes "$pet" "$first")
check "released, the pet lives on ($first -> ${changed:-nothing})" test -n "$changed"
check "a drag writes no settings" test "$(tr -d '\r' <"$WORK/dorra.ini" | wc -l)" = 5

choose "$pet" e
wait_pet_exit
check "Exit ends the program with exit code 0" test "$PET_EXIT" = 0
finish
