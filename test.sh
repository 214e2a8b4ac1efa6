#!/usr/bin/env bash
# Builds everything and runs every test: the native build with its unit,
# Qt and end-to-end tests (on Xvfb), the same unit tests under address and
# undefined-behaviour sanitizers, the Windows build with its unit and
# end-to-end tests under Wine, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test

jobs=2
# End-to-end tests drive real windows on a shared virtual display, where a
# click can land while the cat walks away; such a test must fail twice to
# fail. Every other test runs once, so a flaky one shows.
retry="--repeat until-pass:2"
werror="-DDORRABEE_WERROR=ON -DDORRABEE_TESTS=ON"

echo "== Linux build and tests"
cmake --preset linux $werror >/dev/null
cmake --build --preset linux -j $jobs
ctest --preset linux -LE e2e
ctest --preset linux -L e2e $retry

echo "== Sanitizer build and tests"
cmake --preset asan $werror >/dev/null
cmake --build --preset asan -j $jobs
ctest --preset asan

echo "== Windows build and tests under Wine"
cmake --preset windows $werror >/dev/null
cmake --build --preset windows -j $jobs
scripts/wine-session.sh ctest --preset windows -LE e2e
scripts/wine-session.sh ctest --preset windows -L e2e $retry

# ---- hardening (tests/fuzz): the fuzz targets under clang's libFuzzer with
# address and undefined-behaviour sanitizers, DORRABEE_FUZZ_SECONDS (45) each.
# The soak, fault-injection and settings tests run in every build above.
echo "== Fuzzing"
cmake --preset fuzz $werror >/dev/null
cmake --build --preset fuzz -j $jobs
ctest --preset fuzz
