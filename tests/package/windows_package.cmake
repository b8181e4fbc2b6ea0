# The tests of the Windows packages (see packaging/windows/package.cmake):
# the zip's content, and the installer and its uninstaller run silently
# under Wine. They first bring the packages up to date, as
# `make windows-package` does, so they never test stale ones.
if(NOT TARGET ${MORVANE_PROGRAM_TARGET})
  return()
endif()

add_test(NAME windows_package_build
  COMMAND "${CMAKE_COMMAND}" --build "${CMAKE_BINARY_DIR}" --target windows_package)
set_tests_properties(windows_package_build PROPERTIES LABELS windows TIMEOUT 300
                     FIXTURES_SETUP windows_package)

add_test(NAME windows_package_zip
  COMMAND "${CMAKE_COMMAND}" "-DZIP=${MORVANE_PACKAGE_ZIP}"
          "-DPROGRAM=${MORVANE_PACKAGE_DIR}/morvane.exe" "-DHELP=${MORVANE_PACKAGE_DIR}/MorvHelp.pdf"
          "-DREADME=${MORVANE_PACKAGE_DIR}/README.txt"
          "-DWORK=${CMAKE_CURRENT_BINARY_DIR}/package-zip-check"
          "-DSUMS=${MORVANE_PACKAGE_SUMS}"
          "-DPUBLISHED=${MORVANE_PACKAGE_PROGRAM}|${MORVANE_PACKAGE_INSTALLER}|${MORVANE_PACKAGE_ZIP}"
          -P "${CMAKE_CURRENT_LIST_DIR}/check_zip.cmake")
set_tests_properties(windows_package_zip PROPERTIES LABELS windows TIMEOUT 60
                     FIXTURES_REQUIRED windows_package)

add_test(NAME windows_package_installer
  COMMAND sh "${CMAKE_CURRENT_LIST_DIR}/installer_test.sh" "${MORVANE_WINE}"
          "${MORVANE_PACKAGE_INSTALLER}" "${MORVANE_PACKAGE_DIR}/morvane.exe"
          "${MORVANE_PACKAGE_DIR}/MorvHelp.pdf" "${PROJECT_VERSION}")
# It types into the installer's folder page on the session's one display.
set_tests_properties(windows_package_installer PROPERTIES LABELS windows TIMEOUT 180
                     FIXTURES_REQUIRED "wine;windows_package" ENVIRONMENT "${wine_environment}"
                     RESOURCE_LOCK wine_desktop)
