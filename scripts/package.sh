#!/usr/bin/env bash
# Builds the packages a user downloads, into build/packages/:
#   deb  dorrabee_<version>_<arch>.deb, from a release build of its own (build/package)
#   zip  dorrabee-<version>-windows.zip, from the Windows build (build/windows)
# Usage: scripts/package.sh [deb] [zip]   (both when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || wanted=(deb zip)
mkdir -p build/packages

for kind in "${wanted[@]}"; do
  case "$kind" in
    deb)
      cmake --preset package >/dev/null
      cmake --build --preset package
      rm -rf build/package/packages build/packages/dorrabee_*.deb  # no stale versions
      (cd build/package && cpack -G DEB >/dev/null)
      cp build/package/packages/*.deb build/packages/
      ;;
    zip)
      # Packaging needs only the program, not the tests this build also holds.
      cmake --preset windows -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
      cmake --build --preset windows --target dorrabee dorrabee-sim
      rm -rf build/windows/packages build/packages/dorrabee-*-windows.zip
      (cd build/windows && cpack -G ZIP >/dev/null)
      cp build/windows/packages/*.zip build/packages/
      ;;
    *) echo "usage: $0 [deb] [zip]" >&2; exit 2 ;;
  esac
done
ls -1 build/packages/*
