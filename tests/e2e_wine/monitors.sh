#!/usr/bin/env bash
# Two monitors of different sizes as Wine sees them (Xinerama): the pet is
# carried onto the second, lives there and is never where no monitor shows
# it; a borderless window over its monitor, in front, sends it away until
# the window goes, and one over the other monitor does not.
. "$(dirname "$0")/lib.sh"
start_two_monitors
check "Wine reports the two monitors" test "$(inspect monitors | tr '\n' ' ')" = "0 0 640 768 640 0 384 480 "
write_ini "Timer=100"
start_pet
pet=$(pet_window) || { fail "no pet window appears"; finish; }
for _ in $(seq 10); do  # (a walking pet may slip from under the pointer)
    read -r x y < <(pet_point "$pet")
    xdotool mousemove "$x" "$y" sleep 0.2 mousedown 1 mousemove 700 "$y" mousemove 800 100 sleep 0.3 mouseup 1
    sleep 0.2
    pet=$(pet_window 20) || true
    read -r px py < <(window_position "$pet")
    [ "$px" -ge 640 ] && break
done
check "the pet is carried onto the second monitor (at $px $py)" test "$px" -ge 640
dead="" seen=""
for _ in $(seq 80); do
    read -r px py < <(window_position "$pet")
    [ $((px + PET_SIDE)) -gt 640 ] && [ $((py + PET_SIDE)) -gt 480 ] && dead+=" $px,$py"
    seen+=" $px,$py"
    sleep 0.1
done
shot two-monitors
check "and is never seen in the dead zone (seen at:$dead)" test -z "$dead"

# ---- a borderless window over a whole monitor, as games make
# on_monitor: the monitor the pet's middle is on now.
on_monitor() {
    read -r px py < <(window_position "$pet")
    if [ $((px + PET_SIDE / 2)) -ge 640 ]; then echo 2; else echo 1; fi
}
mine=$(on_monitor)
other=$((3 - mine))
# covered N SECONDS: the cover over monitor N for that long, waited for until it shows.
covered() {
    inspect cover "$1" "$2" &
    COVER_PID=$!
    timeout 10 xdotool search --sync --onlyvisible --name '^cover$' >/dev/null || fail "no cover window shows"
}
covered "$other" 3
sleep 0.5  # a few ticks
check "a borderless window over the other monitor leaves the pet shown" quietly pet_window 5
wait "$COVER_PID"
# The pet may walk across before the cover shows: then it is tried again on
# the monitor the pet is on.
for _ in 1 2 3; do
    mine=$(on_monitor)
    covered "$mine" 6
    if eventually not quietly pet_window 1; then hidden=yes; else hidden=no; fi
    [ "$hidden" = yes ] || [ "$(on_monitor)" = "$mine" ] && break
    wait "$COVER_PID"
done
check "one over its own monitor sends it away" test "$hidden" = yes
shot covered
wait "$COVER_PID"
check "and it comes back once that window has gone" eventually quietly pet_window 5
choose "$pet" e
wait_pet_exit
check "Exit ends the program with exit code 0" test "$PET_EXIT" = 0
finish
