# The Windows build, cross-compiled with MinGW-w64 against a Qt built for
# Windows (scripts/windows/build.sh). Included by the top-level CMakeLists.txt
# before any target is made, so every executable gets Wine as its emulator.

if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(ELCARTA_WINE NAMES wine wine64 REQUIRED)

  # Folders Windows searches for the DLLs the executables load: Qt's, and the
  # compiler's runtime (libstdc++, libgcc_s, winpthread).
  set(dll_dirs "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
      OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}")
      message(FATAL_ERROR "The compiler knows no ${dll}")
    endif()
    get_filename_component(dir "${path}" DIRECTORY)
    get_filename_component(dir "${dir}" REALPATH)
    list(APPEND dll_dirs "${dir}")
    set(ELCARTA_MINGW_RUNTIME_${dll} "${path}")
  endforeach()
  list(REMOVE_DUPLICATES dll_dirs)
  set(ELCARTA_WINDOWS_DLL_DIRS ${dll_dirs})

  # Wine sees the build host's root as drive Z:.
  function(elcarta_windows_path out path)
    string(REPLACE "/" "\\" path "${path}")
    set(${out} "Z:${path}" PARENT_SCOPE)
  endfunction()
  set(winepath "")
  foreach(dir IN LISTS dll_dirs)
    elcarta_windows_path(dir "${dir}")
    string(APPEND winepath "${dir};")
  endforeach()
  string(REGEX REPLACE ";$" "" ELCARTA_WINEPATH "${winepath}")

  # The faces the Linux tests draw with, for the offscreen platform under Wine.
  # Only the tests see this folder; the program itself gets its fonts from Windows.
  set(fontdir "${CMAKE_BINARY_DIR}/test-fonts")
  file(MAKE_DIRECTORY "${fontdir}")
  file(GLOB faces /usr/share/fonts/truetype/arphic/*.ttc /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf)
  foreach(face IN LISTS faces)
    get_filename_component(name "${face}" NAME)
    if(NOT EXISTS "${fontdir}/${name}")
      file(CREATE_LINK "${face}" "${fontdir}/${name}" SYMBOLIC)
    endif()
  endforeach()
  elcarta_windows_path(ELCARTA_TEST_FONTDIR_WINDOWS "${fontdir}")

  set(ELCARTA_WINEPREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()
