#!/usr/bin/env bash
# Runs a command with a fresh Wine prefix made once for this run: code page
# 936 and the Chinese font mapping (so captions render), an unmanaged X11
# driver (no 2 s stall when windows close without a window manager), a warm
# wineserver (so each test does not wait for a new one), and a virtual X
# display when there is none (windows need one even in unit tests).
#
#   scripts/wine-session.sh ctest --preset windows
#
# Exports WINEPREFIX, LANG/LC_ALL/LOCPATH and DISPLAY to the command.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
state="$root/build/wine"
xvfb_pid=""

finish() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap finish EXIT
trap 'exit 130' INT TERM

rm -rf "$state"
mkdir -p "$state/locale"
if ! localedef -i zh_CN -f UTF-8 "$state/locale/zh_CN.UTF-8" 2>/dev/null && [ ! -d "$state/locale/zh_CN.UTF-8" ]; then
  echo "wine-session: cannot make the zh_CN.UTF-8 locale (package 'locales'); Chinese captions will not render" >&2
fi
# (bash itself cannot load that locale and would say so)
{ export LOCPATH="$state/locale" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

if [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display number and writes it once it is ready.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$state/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$state/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$state/display")"
fi

wineboot -i >/dev/null 2>&1 || true
wineserver -w
for reg in "$root"/scripts/wine/*.reg; do
  [ -e "$reg" ] || continue
  wine regedit /S "$reg" >/dev/null 2>&1 || true
done
wineserver -w
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

"$@"
