#!/usr/bin/env bash
# Runs a command with a fresh Wine prefix made once for this run: code page
# 936 and the Chinese font mapping (so captions render), an unmanaged X11
# driver (no 2 s stall when windows close without a window manager), and a
# warm wineserver (so each test does not wait for a new one).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
state="$root/build/wine"
rm -rf "$state"
mkdir -p "$state/locale"
localedef -i zh_CN -f UTF-8 "$state/locale/zh_CN.UTF-8" 2>/dev/null || true
export LOCPATH="$state/locale" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
wineboot -i >/dev/null 2>&1 || true
wineserver -w
for reg in "$root"/scripts/wine/*.reg; do
  [ -e "$reg" ] || continue
  wine regedit /S "$reg" >/dev/null 2>&1 || true
done
wineserver -w
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
status=0
"$@" || status=$?
wineserver -k || true
wineserver -w || true
exit $status
