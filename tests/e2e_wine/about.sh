#!/usr/bin/env bash
# The About dialog: it opens once, draws the title art and the film-strip
# scene where the layout puts them, the scene moves from one look to the
# next, and OK closes it.
. "$(dirname "$0")/lib.sh"
start_display
start_pet
pet=$(pet_window) || { fail "no pet window appears"; finish; }

about_count() { inspect about | sed -n 's/^count=//p'; }
about_client() { inspect about | sed -n 's/^client=//p'; }
look() { python3 "$HERE/about_check.py" --display "$DISPLAY" --client "$1" --resources "$RESOURCES" --pet-check "$PET_CHECK"; }

choose "$pet" a
for _ in $(seq 30); do [ "$(about_count)" = 1 ] && break; sleep 0.2; done
check "About opens its dialog" test "$(about_count)" = 1
client=$(about_client)
sleep 0.5
if first=$(look "$client"); then pass "title and scene in place: $first"; else fail "$first"; fi
shot about
second=$first
for _ in 1 2 3 4; do
    sleep 0.3
    second=$(look "$client") || { fail "$second"; break; }
    [ "$second" != "$first" ] && break
done
check "the scene moves ($first -> $second)" test "$first" != "$second"

move_dialog_away about "$pet"
client=$(about_client)
choose "$pet" a
sleep 0.5
check "About chosen again opens no second dialog" test "$(about_count):$(about_client)" = "1:$client"

# Return closes it (OK is the default button), once the user has clicked it to the front.
read -r x y w _ < <(echo "$client")
xdotool mousemove $((x + w / 2)) $((y + 4)) sleep 0.2 click 1 sleep 0.3 key Return
for _ in $(seq 30); do [ "$(about_count)" = 0 ] && break; sleep 0.2; done
check "OK closes the dialog" test "$(about_count)" = 0
check "the pet lives on" quietly pet_shows "$pet"

choose "$pet" e
wait_pet_exit
check "Exit ends the program with exit code 0" test "$PET_EXIT" = 0
finish
