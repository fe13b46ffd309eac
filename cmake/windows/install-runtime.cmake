# Installs the DLLs that elcarta.exe and its Qt plugins load, run at install
# time (cmake --install, cpack). ELCARTA_DLL_DIRS, ELCARTA_QT_PLUGINS,
# ELCARTA_OBJDUMP and ELCARTA_STRIP come from package.cmake.
#
# Windows matches DLL names without regard to case (the executables import
# "Qt6Core.dll", file(GET_RUNTIME_DEPENDENCIES) looks for "qt6core.dll"), so
# the imports are followed here by name, case-insensitively, through the
# folders given.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

set(known "")
foreach(dir IN LISTS ELCARTA_DLL_DIRS)
  file(GLOB dlls "${dir}/*.dll")
  foreach(dll IN LISTS dlls)
    get_filename_component(name "${dll}" NAME)
    string(TOLOWER "${name}" key)
    if(NOT DEFINED "path_${key}")
      set("path_${key}" "${dll}")
    endif()
  endforeach()
endforeach()

# Adds to `found` every DLL from the folders that `file` loads, directly or not.
function(elcarta_follow file)
  execute_process(COMMAND "${ELCARTA_OBJDUMP}" -p "${file}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not read the imports of ${file}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
  foreach(line IN LISTS imports)
    string(REGEX REPLACE "^DLL Name: *" "" name "${line}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" key)
    if(DEFINED "path_${key}")
      list(FIND found "${path_${key}}" seen)
      if(seen EQUAL -1)
        list(APPEND found "${path_${key}}")
        set(found "${found}" PARENT_SCOPE)
        elcarta_follow("${path_${key}}")
      endif()
    elseif(name MATCHES "^(Qt6|lib)")
      message(FATAL_ERROR "${file} needs ${name}, found in none of ${ELCARTA_DLL_DIRS}")
    endif()
    # Anything else is part of Windows itself.
  endforeach()
  set(found "${found}" PARENT_SCOPE)
endfunction()

set(found "")
file(GLOB plugins "${root}/*/*.dll")
foreach(file "${root}/elcarta.exe" ${plugins})
  elcarta_follow("${file}")
endforeach()
# Printing goes through a plugin of its own once the program prints.
if(found MATCHES "Qt6PrintSupport\\.dll" AND EXISTS "${ELCARTA_QT_PLUGINS}/printsupport/windowsprintersupport.dll")
  file(INSTALL "${ELCARTA_QT_PLUGINS}/printsupport/windowsprintersupport.dll" DESTINATION "${root}/printsupport")
  elcarta_follow("${root}/printsupport/windowsprintersupport.dll")
endif()
file(INSTALL ${found} DESTINATION "${root}")

file(GLOB installed "${root}/*.dll" "${root}/*/*.dll")
foreach(dll IN LISTS installed)
  execute_process(COMMAND "${ELCARTA_STRIP}" --strip-unneeded "${dll}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not strip ${dll}")
  endif()
endforeach()
