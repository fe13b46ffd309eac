#!/usr/bin/env bash
# Installs, through scripts/setup.sh, what the Windows build needs on Debian 12
# besides the Linux build (the MinGW-w64 cross compiler, Ninja, Wine, NSIS, and
# the X tools that drive and photograph the installed program), and fetches Qt's own source (the same version as the host Qt)
# into the cache, adding a deb-src entry for Debian's archive when apt knows
# no source packages.
#   scripts/windows/setup.sh [folder for the Qt source]
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  ninja-build
  wine wine64 fonts-wine
  nsis
  dpkg-dev xz-utils perl
  xvfb xauth
  xdotool x11-apps x11-utils netpbm
)

bash "$(dirname "$0")/../setup.sh" "${packages[@]}"

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
apt_get() { $sudo apt-get -o DPkg::Lock::Timeout=900 "$@"; }

src_root="${1:-}"
[ -n "$src_root" ] || exit 0

# The target Qt must be the very version whose host tools (moc, rcc, uic)
# come from Debian's qt6-base-dev.
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
upstream=${version%-*}            # 6.4.2+dfsg: the folder dpkg-source unpacks into
tree="$src_root/qt6-base-$upstream"
mkdir -p "$src_root"
if [ -f "$tree/.elcarta-source-$version" ]; then
  exit 0
fi

if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Package: qt6-base'; then
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  echo "Adding Debian's source archive for $codename to apt"
  $sudo tee /etc/apt/sources.list.d/elcarta-deb-src.sources >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  apt_get update -qq
fi

cd "$src_root"
rm -rf "$tree"
# apt-get source needs no root; as root it downloads unsandboxed and says so.
apt-get source -qq "qt6-base=$version" 2>&1 | grep -v -e 'unsandboxed' -e '^W: ' || true
[ -f "$tree/configure" ] || { echo "apt-get source qt6-base=$version failed" >&2; exit 1; }
touch "$tree/.elcarta-source-$version"
