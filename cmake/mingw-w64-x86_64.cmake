# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (POSIX threads,
# which std::thread and Qt's threading need). Used to build Qt for Windows
# (scripts/windows/build-qt.sh) and, chained behind the toolchain file that
# Qt generates, to build the program itself (scripts/windows/build.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(ELCARTA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ELCARTA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ELCARTA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ELCARTA_MINGW}-windres)

# Libraries and headers come from the Windows side only; programs that run
# during the build (moc, rcc, makensis) from the build host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ELCARTA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
