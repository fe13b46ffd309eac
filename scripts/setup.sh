#!/usr/bin/env bash
# Installs what building, running and testing Elcarta needs on Debian 12,
# and any further packages named on the command line, skipping every package
# that is already there.
#   scripts/setup.sh [package ...]
set -euo pipefail

packages=(
  build-essential cmake make pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-qpa-plugins
  fonts-arphic-uming fonts-arphic-ukai fonts-noto-cjk fontconfig
  qt6-translations-l10n
  xvfb xauth xdotool openbox x11-xserver-utils
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  desktop-file-utils appstream dpkg-dev
  poppler-utils
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  # Another apt run on this machine may hold the lock for a while; wait for it.
  $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
  $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
fi
