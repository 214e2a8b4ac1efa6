#!/usr/bin/env bash
# Fails when a C or C++ file of the repository is not as clang-format (the
# repository's .clang-format) writes it; prints what it would change.
# Usage: scripts/check-style.sh [clang-format]   Fix with: scripts/check-style.sh --fix
set -euo pipefail
cd "$(dirname "$0")/.."
tool=clang-format
fix=0
for arg in "$@"; do
  case "$arg" in
    --fix) fix=1 ;;
    *) tool=$arg ;;
  esac
done
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h' '*.inc')
if [ "$fix" = 1 ]; then
  exec "$tool" -i "${files[@]}"
fi
"$tool" --dry-run --Werror "${files[@]}"
