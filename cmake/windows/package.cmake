# The Windows package: the program with the Qt DLLs, plugins and compiler
# runtime it loads, laid out so that it runs from wherever it lies, as an NSIS
# installer (Program Files, Start menu, uninstaller; /S installs silently) and
# as a portable zip. Included by the top-level CMakeLists.txt for Windows.
enable_language(RC)

# The executable's icon: the menu window's own drawing at several sizes,
# drawn by the icon tool at build time (under Wine when cross-compiling).
set(ELCARTA_ICO ${CMAKE_BINARY_DIR}/elcarta.ico)
add_custom_command(
  OUTPUT ${ELCARTA_ICO}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:elcarta_icons> ${CMAKE_BINARY_DIR}/icons ${ELCARTA_ICO}
  DEPENDS elcarta_icons
  COMMENT "Drawing the program icon for the executable")
configure_file(${CMAKE_CURRENT_LIST_DIR}/elcarta.rc.in ${CMAKE_BINARY_DIR}/elcarta.rc @ONLY)
target_sources(elcarta PRIVATE ${CMAKE_BINARY_DIR}/elcarta.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/elcarta.rc PROPERTIES OBJECT_DEPENDS ${ELCARTA_ICO})

# Everything sits beside elcarta.exe; Qt looks for its plugins in folders
# there (platforms/, styles/).
install(TARGETS elcarta RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
# Qt's own texts in Chinese (撤消, 复制, 粘贴 in a field's right-click menu), in
# translations/ where the program looks for them. A .qm file is the same on
# every platform: Debian's own is shipped.
find_file(ELCARTA_QTBASE_ZH_CN qtbase_zh_CN.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT ELCARTA_QTBASE_ZH_CN)
  message(FATAL_ERROR "qtbase_zh_CN.qm not found in /usr/share/qt6/translations: install Debian's qt6-translations-l10n")
endif()
install(FILES ${ELCARTA_QTBASE_ZH_CN} DESTINATION translations)

# The DLLs are whatever the executable and the plugins load, found in Qt's
# and the compiler's folders when installing, stripped of their symbols.
if(NOT ELCARTA_WINDOWS_DLL_DIRS)
  set(ELCARTA_WINDOWS_DLL_DIRS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
endif()
install(CODE "
  set(ELCARTA_DLL_DIRS \"${ELCARTA_WINDOWS_DLL_DIRS}\")
  set(ELCARTA_QT_PLUGINS \"${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}\")
  set(ELCARTA_OBJDUMP \"${CMAKE_OBJDUMP}\")
  set(ELCARTA_STRIP \"${CMAKE_STRIP}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/install-runtime.cmake)

# Qt is LGPL: shared DLLs that can be replaced, with the licence texts of Qt,
# the libraries bundled into it and the compiler runtime.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/LICENSES.txt DESTINATION .)
install(DIRECTORY ${QT6_INSTALL_PREFIX}/share/elcarta/licenses/ DESTINATION licenses)
foreach(doc gcc-mingw-w64-base mingw-w64-common)
  if(EXISTS /usr/share/doc/${doc}/copyright)
    install(FILES /usr/share/doc/${doc}/copyright DESTINATION licenses/mingw-w64 RENAME ${doc}.txt)
  endif()
endforeach()

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_FILE_NAME elcarta-${PROJECT_VERSION}-win64)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-options.cmake)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Elcarta)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Elcarta)
set(CPACK_PACKAGE_EXECUTABLES elcarta "Elcarta 建筑电气计算")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_LIST_DIR}/LICENSES.txt)
set(CPACK_NSIS_PACKAGE_NAME "Elcarta 建筑电气计算")
set(CPACK_NSIS_DISPLAY_NAME "Elcarta 建筑电气计算")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME elcarta.exe)
set(CPACK_NSIS_MUI_ICON ${ELCARTA_ICO})
set(CPACK_NSIS_MUI_UNIICON ${ELCARTA_ICO})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit Unicode installer: the 32-bit ANSI one makensis makes by default
# cannot show Chinese names and does not start where only 64-bit programs run.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# The generated script is UTF-8.
set(CPACK_NSIS_EXECUTABLE_PRE_ARGUMENTS -INPUTCHARSET UTF8)

# A double click on a project file (*.elcarta) opens it in the program, with
# the program's icon; the uninstaller takes the association away again. The
# commands stand in files of their own: CPack does not keep the quotes of the
# open command through its own variables.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "!include '${CMAKE_CURRENT_LIST_DIR}/associate.nsh'")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "!include '${CMAKE_CURRENT_LIST_DIR}/dissociate.nsh'")
