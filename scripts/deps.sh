#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running need,
# when any of them is missing. With the argument "windows", also those of
# the Windows cross build; with "deb", those of the Debian package.
set -euo pipefail
packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev libgl1-mesa-dev
  libgtest-dev googletest libbenchmark-dev
  clang-format ccache
  clang libclang-rt-14-dev
  xvfb xauth xdotool x11-utils imagemagick dbus-daemon
  fonts-dejavu-core fonts-liberation2
  chromium
)
# The Windows cross build, its tests under Wine and its installer (`make
# windows`, `make windows-test`, `make windows-package`), only when asked
# for: `scripts/deps.sh windows`.
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis)
fi
# The Debian package, its checks and its install test (`make deb`,
# tests/deb/check_deb.sh), only when asked for: `scripts/deps.sh deb`.
if [ "${1:-}" = deb ]; then
  packages+=(debhelper dpkg-dev lintian appstream)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo apt-get update
    sudo DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
    exit 0
  fi
  echo "These packages are missing and this is not root. Run as root:" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
