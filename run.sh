#!/usr/bin/env bash
# Builds Velarim and starts it in a folder of sample pictures. Installs what is
# missing on a Debian 12 machine first.
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Velarim needs a graphical desktop: no DISPLAY or WAYLAND_DISPLAY is set." >&2
  exit 1
fi

scripts/ensure_packages.sh run

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELARIM_TESTS=OFF -DVELARIM_BENCH=OFF >/dev/null
cmake --build "$build" --target Velarim velarim_samples

cd "$build/samples"
exec ../Velarim "$@"
