#!/usr/bin/env bash
# Builds Velarim with AddressSanitizer and UndefinedBehaviorSanitizer and runs every
# test headless. Installs what is missing on a Debian 12 machine first.
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure_packages.sh test

build=build/test
launcher=()
# A compiler cache, where the machine has one, makes rebuilds after a checkout quick.
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELARIM_SANITIZE=ON "${launcher[@]}" >/dev/null
cmake --build "$build"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
