#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program or the tests need and that
# are missing. Usage: scripts/ensure_packages.sh run|test
set -euo pipefail

build_packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-qpa-plugins libjpeg62-turbo-dev liblcms2-dev libxcb1-dev libcups2-dev fonts-liberation qt6-translations-l10n dpkg-dev file)
test_packages=(libgtest-dev libgmock-dev googletest xvfb xdotool poppler-utils libjpeg-turbo-progs openbox x11-utils xclip libx11-dev cups-daemon cups-client printer-driver-cups-pdf desktop-file-utils appstream lintian man-db dbus at-spi2-core python3-pyatspi)

wanted=("${build_packages[@]}")
if [ "${1:-run}" = test ]; then
  wanted+=("${test_packages[@]}")
fi

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    sudo_cmd=(sudo)
  else
    echo "These packages are missing and this user cannot install them: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
