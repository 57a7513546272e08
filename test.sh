#!/usr/bin/env bash
# Builds Velarim with AddressSanitizer and UndefinedBehaviorSanitizer (the preset asan, in
# which warnings are errors) and runs every test headless. Installs what is missing on a
# Debian 12 machine first. Fails when the run changed the home folder of whoever ran it.
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure_packages.sh test

config_home=${XDG_CONFIG_HOME:-$HOME/.config}
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
cache_home=${XDG_CACHE_HOME:-$HOME/.cache}
state_home=${XDG_STATE_HOME:-$HOME/.local/state}

# What the run could change in the person's home: the entries directly in it, and
# everything in the folders where programs keep per-user settings, data and caches.
# Left out: ccache's cache and settings, which the build writes on purpose; this
# project's own folder, should it lie in one of them; and what lies inside other
# programs' own dot-folders in the home, which programs running beside the tests (a
# shell, an editor, a desktop session) change at any time.
home_listing() {
  {
    find "$HOME" -mindepth 1 -maxdepth 1 -printf '%y %p\n'
    home_folders_listing
  } | sort -u
}
home_folders_listing() {
  local prune=(-path "$PWD" -o -path "$config_home/ccache" -o -path "$cache_home/ccache")
  if [ -n "${CCACHE_DIR:-}" ]; then prune+=(-o -path "$CCACHE_DIR"); fi
  local folder
  for folder in "$config_home" "$data_home" "$cache_home" "$state_home"; do
    if [ -d "$folder" ]; then
      find "$folder" \( "${prune[@]}" \) -prune -o \( -type d -printf 'd %p\n' \) -o -printf '%y %p %s %T@\n'
    fi
  done
}
home_before=$(mktemp)
home_after=$(mktemp)
trap 'rm -f "$home_before" "$home_after"' EXIT
home_listing >"$home_before"

build=build/test
launcher=()
# A compiler cache, where the machine has one, makes rebuilds after a checkout quick.
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset asan "${launcher[@]}" >/dev/null
cmake --build "$build"

status=0
ctest --preset asan -j "$(nproc)" || status=$?

home_listing >"$home_after"
if ! diff "$home_before" "$home_after" >/dev/null; then
  echo "The test run changed the home folder $HOME (< before, > after):" >&2
  diff "$home_before" "$home_after" >&2 || true
  status=1
fi
exit "$status"
