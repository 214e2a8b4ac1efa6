#!/usr/bin/env bash
# With a window manager (openbox) the pet stays above windows that are
# mapped after it, as a topmost window does on Windows.
. "$(dirname "$0")/lib.sh"
start_display openbox

# Wine hands its windows to the window manager only when told to; the
# prefix is unmanaged for the other scripts, so this program copy is managed.
PET_EXE=dorrabee-managed.exe
wine reg add 'HKCU\Software\Wine\AppDefaults\dorrabee-managed.exe\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1
start_pet
pet=$(pet_window) || { fail "no pet window appears"; finish; }
check "the pet asks to stay above others" bash -c "xprop -id $pet _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE"
check "the pet stays out of the taskbar" bash -c "xprop -id $pet _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR"

# A window as large as the screen, mapped later.
xmessage -geometry 1024x768+0+0 "a window mapped after the pet" >/dev/null 2>&1 &
OTHER_PIDS+=($!)
sleep 2
check "the later window is mapped" bash -c 'xdotool search --onlyvisible --name "^xmessage$" | grep -q .'
# The pet's colours are nowhere on the screen unless the pet is above.
pet_seen() {
    "$IMPORT" -window root -depth 8 rgb:- | python3 -c '
import sys
data = sys.stdin.buffer.read()
pet = {bytes(c) for c in ((99, 115, 222), (99, 140, 231), (148, 181, 239))}
sys.exit(0 if sum(1 for i in range(0, len(data), 3) if data[i:i + 3] in pet) >= 20 else 1)'
}
check "the pet is drawn above the later window" pet_seen
shot on-top
sleep 1
check "and stays above it" pet_seen
finish
