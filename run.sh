#!/usr/bin/env bash
# Builds Dorrabee for this Linux desktop and starts the pet.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh run
cmake --preset linux >/dev/null
cmake --build --preset linux --target dorrabee
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: Dorrabee is a desktop pet and needs an X11 (or XWayland) session." >&2
  echo "Run this from a terminal inside your desktop, or try it on a virtual one:" >&2
  echo "  xvfb-run -s '-screen 0 1024x768x24' build/linux/dorrabee" >&2
  exit 1
fi
exec build/linux/dorrabee
