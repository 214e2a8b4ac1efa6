#!/usr/bin/env bash
# Runs a command with a fresh Wine prefix made once for this run: code page
# 936 and the Chinese font mapping (so captions render), an unmanaged X11
# driver (no 2 s stall when windows close without a window manager), a warm
# wineserver (so each test does not wait for a new one), and a virtual X
# display when there is none (windows need one even in unit tests).
#
#   scripts/wine-session.sh ctest --preset windows -LE cp1252_only
#   DORRABEE_CODE_PAGE=1252 scripts/wine-session.sh ctest --preset windows -L cp1252
#
# DORRABEE_CODE_PAGE chooses the code page for non-Unicode programs: 936
# (Chinese, the default) or 1252 (Western, an English locale, as most users
# have), each in a prefix of its own. The Chinese locale is made in both, so
# a test may start one program on code page 936 beside the others.
#
# Exports WINEPREFIX, LANG/LC_ALL/LOCPATH, DORRABEE_CODE_PAGE and DISPLAY to
# the command.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
code_page="${DORRABEE_CODE_PAGE:-936}"
case "$code_page" in
  936) state="$root/build/wine" locale=zh_CN ;;
  1252) state="$root/build/wine-1252" locale=en_US ;;
  *) echo "wine-session: DORRABEE_CODE_PAGE is 936 or 1252, not '$code_page'" >&2; exit 2 ;;
esac
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
# Without its locale Wine silently falls back to code page 1252.
for name in zh_CN $locale; do
  [ -d "$state/locale/$name.UTF-8" ] && continue
  if ! localedef -i $name -f UTF-8 "$state/locale/$name.UTF-8" 2>/dev/null && [ ! -d "$state/locale/$name.UTF-8" ]; then
    echo "wine-session: cannot make the $name.UTF-8 locale (package 'locales'); its code page will not be had" >&2
  fi
done
# (bash itself cannot load that locale and would say so)
{ export LOCPATH="$state/locale" LANG=$locale.UTF-8 LC_ALL=$locale.UTF-8 DORRABEE_CODE_PAGE=$code_page; } 2>/dev/null
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
