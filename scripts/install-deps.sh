#!/usr/bin/env bash
# Installs, with apt-get, what building and testing Dorrabee needs and this
# machine lacks. Usage: scripts/install-deps.sh run|test
# Without root, it prints the command to run with sudo and stops.
set -euo pipefail

build_packages=(cmake g++ make pkg-config libstb-dev qt6-base-dev libgl-dev libx11-dev libxext-dev libxcb-shape0-dev libxcb-shm0-dev fonts-wqy-zenhei python3)
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xserver-xephyr xdotool wmctrl x11-utils x11-apps x11-xserver-utils imagemagick
               clang-format openbox oneko valgrind libx11-dev libxext-dev clang libclang-rt-14-dev libfuzzer-14-dev
               g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 locales
               dpkg-dev file lintian
               weston xwayland mutter kwin-wayland sway dbus xcompmgr picom trayer)

case "${1:-run}" in
  run) wanted=("${build_packages[@]}") ;;
  test) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Dorrabee needs these packages: ${missing[*]}" >&2
  echo "Install them with:  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
