#!/usr/bin/env bash
# Builds Qt for Windows once, into a cache folder outside the repository:
# x86_64, MinGW-w64, shared DLLs, release, from Debian's own qt6-base source
# (the same version as the host Qt whose moc, rcc and uic it uses).
#
# The folder is reused as long as the configuration recorded in it equals the
# one below; any change to the options, the toolchain file or the source
# version builds it again, from a fresh build folder (configure run a second
# time in a used folder keeps the old feature values).
#
#   scripts/windows/build-qt.sh          prints the Qt folder when it is ready
#   scripts/windows/build-qt.sh --check  only says (by its status) whether it is
#   ELCARTA_QT_WINDOWS=DIR               builds or reuses DIR instead of the default
#
# A second run while another builds Qt into the same cache folder waits for it
# (flock on the folder's .lock), then reuses what it built.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
qt_win=${ELCARTA_QT_WINDOWS:-$HOME/.cache/elcarta/qt-6.4.2-mingw64}
cache=$(dirname "$qt_win")
src_root=$cache/qt-src
toolchain=$repo/cmake/mingw-w64-x86_64.cmake

# What the program needs: Core, Gui, Widgets, the Windows platform plugin and
# its styles, Test for the test suite, PrintSupport for printing sheets; in Gui
# PDF writing, the ODF text writer, the clipboard and desktop services stay on
# (their defaults), and accessibility is on.
options=(
  -release -shared
  -nomake examples -nomake tests
  -accessibility
  -qt-zlib -qt-pcre -qt-harfbuzz -qt-libpng -qt-freetype -qt-doubleconversion
  -no-libjpeg -no-gif -no-icu -no-zstd -no-opengl -no-dbus
  -no-feature-network -no-feature-sql -no-feature-xml -no-feature-concurrent
  -no-feature-vulkan -no-feature-androiddeployqt
  # Debian's source leaves out src/3rdparty/wintab.
  -no-feature-tabletevent
  # Without Direct2D, DirectWrite leaves PrintSupport unlinkable; GDI draws the text.
  -no-feature-direct2d -no-feature-directwrite
  -feature-pdf -feature-textodfwriter -feature-clipboard -feature-desktopservices
  -feature-printsupport -feature-testlib -feature-widgets
)
cmake_options=(
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
)

host_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
record() {
  echo "qt6-base $host_version"
  echo "configure -xplatform win32-g++ -qt-host-path /usr ${options[*]} -- ${cmake_options[*]}"
  echo "toolchain $(sha256sum <"$toolchain" | cut -d' ' -f1)"
}
# The licence texts the package carries: Qt's, those of the libraries built
# into it, and Debian's record of the source.
licenses() {
  local out=$qt_win/share/elcarta/licenses
  rm -rf "$out"
  mkdir -p "$out/3rdparty"
  cp "$src"/LICENSES/*.txt "$out/"
  cp "$src/debian/copyright" "$out/debian-copyright.txt"
  local dir name
  for dir in "$src"/src/3rdparty/*/; do
    name=$(basename "$dir")
    mkdir -p "$out/3rdparty/$name"
    find "$dir" -maxdepth 2 -type f \( -iname '*licen[cs]e*' -o -iname 'copying*' -o -iname 'ftl.txt' \
      -o -name qt_attribution.json \) -exec cp {} "$out/3rdparty/$name/" \;
    rmdir "$out/3rdparty/$name" 2>/dev/null || true
  done
}
source_tree() {
  bash "$repo/scripts/windows/setup.sh" "$src_root" >&2
  src=$(ls -d "$src_root"/qt6-base-*/ | head -n1)
  src=${src%/}
}

stamp=$qt_win/elcarta-qt-configuration.txt
# One build at a time per cache folder: two clones building at once would
# share qt-src and qt-build and break each other. The lock is held from the
# check to the record; a second run waits, then finds Qt ready.
mkdir -p "$cache"
exec 9>>"$cache/.lock"
if [ "${1:-}" = --check ]; then
  # Only reads the record: a build under way means not ready.
  flock -s -w 5 9 || exit 1
  [ -f "$stamp" ] && [ "$(record)" = "$(cat "$stamp")" ]
  exit
fi
if ! flock -n 9; then
  echo "waiting for another build of Qt for Windows ($cache/.lock) …" >&2
  if ! flock -w 7200 9; then
    echo "gave up after two hours waiting for $cache/.lock" >&2
    exit 1
  fi
fi
if [ -f "$stamp" ] && [ "$(record)" = "$(cat "$stamp")" ]; then
  if [ ! -f "$qt_win/share/elcarta/licenses/LGPL-3.0-only.txt" ]; then
    source_tree
    licenses
  fi
  echo "$qt_win"
  exit 0
fi

source_tree

echo "Building Qt for Windows into $qt_win (about 20 minutes on two cores)" >&2
rm -rf "$qt_win" "$cache"/qt-build
mkdir -p "$qt_win/share/elcarta" "$cache/qt-build"
# The program's configure chains to the toolchain file Qt recorded; keep a
# copy with Qt so it does not depend on where the repository was cloned.
cp "$toolchain" "$qt_win/share/elcarta/mingw-w64-x86_64.cmake"
cd "$cache/qt-build"
"$src/configure" -prefix "$qt_win" -xplatform win32-g++ -qt-host-path /usr "${options[@]}" \
  -- -G Ninja "${cmake_options[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$qt_win/share/elcarta/mingw-w64-x86_64.cmake" >&2
cmake --build . --parallel 2 >&2
cmake --install . >&2
licenses
cd "$cache"
rm -rf "$cache/qt-build"
record >"$stamp"
echo "$qt_win"
