#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quillon
# need, when any of them is missing. Uses sudo when not run as root.
set -euo pipefail

packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 xvfb xauth fonts-dejavu-core desktop-file-utils appstream)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
if [ "${1:-}" = "--coverage" ]; then
  packages+=(gcovr)
fi
if [ "${1:-}" = "--package" ]; then
  packages+=(dpkg-dev file)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root or install sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
