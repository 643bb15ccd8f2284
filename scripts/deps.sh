#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need, when missing.
# Safe to run again.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6opengl6-dev libgl-dev
  libassimp-dev libbenchmark-dev
  xvfb xauth fonts-wqy-microhei
  at-spi2-core dbus-x11 python3-pyatspi xdotool
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq || true
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
