#!/usr/bin/env bash
# The Windows version, cross-built and tested on Debian 12 (./go.sh windows):
# installs what is missing, builds Qt for Windows once into its cache folder,
# cross-builds the program and its tests, runs the whole test suite under Wine,
# packs the installer and the portable zip into build-windows/, and checks the
# installer in a throw-away Wine prefix.
#
#   ELCARTA_QT_WINDOWS=DIR   Qt for Windows (default ~/.cache/elcarta/qt-6.4.2-mingw64)
#   ELCARTA_WINDOWS_BUILD=DIR  build folder (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
build=$repo/${ELCARTA_WINDOWS_BUILD:-build-windows}
toolchain=$repo/cmake/mingw-w64-x86_64.cmake

bash scripts/windows/setup.sh
qt_win=$(bash scripts/windows/build-qt.sh)

# GoogleTest for Windows, from Debian's own sources of it.
gtest=$build/googletest
if [ ! -f "$gtest/install/lib/cmake/GTest/GTestConfig.cmake" ]; then
  echo "Building GoogleTest for Windows"
  cmake -S /usr/src/googletest -B "$gtest/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$gtest/install" -DBUILD_GMOCK=OFF >/dev/null
  cmake --build "$gtest/build" -j2 >/dev/null
  cmake --install "$gtest/build" >/dev/null
fi

# Qt's own toolchain file finds Qt for Windows and chains to ours.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt_win/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
  -DGTest_DIR="$gtest/install/lib/cmake/GTest" >/dev/null
cmake --build "$build" -j2

# The whole suite under Wine; Wine wants an X display even for the offscreen
# platform the tests draw on.
xvfb-run -a ctest --test-dir "$build" --output-on-failure -j2

rm -f "$build"/elcarta-*-win64-setup.exe "$build"/elcarta-*-win64.zip
(cd "$build" && cpack)
setup=$(ls "$build"/elcarta-*-win64-setup.exe)
# The zip unpacked, to run under Wine as it would run on Windows.
rm -rf "$build/portable"
mkdir -p "$build/portable"
(cd "$build/portable" && cmake -E tar xf "$(ls "$build"/elcarta-*-win64.zip)")
bash scripts/windows/check-install.sh "$setup" "$build/screenshots"

echo
echo "Windows installer:   ${setup#"$repo"/}"
echo "Windows portable:    $(ls "$build"/elcarta-*-win64.zip | sed "s|^$repo/||")"
echo "Unpacked:            $(ls -d "$build"/portable/*/elcarta.exe | sed "s|^$repo/||")"
echo "Installed program:   ${build#"$repo"/}/screenshots/*.png"
