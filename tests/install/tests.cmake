# Installs the built program into a scratch prefix and checks what landed.
add_test(NAME install_layout
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
          -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install-check
          -DAPPDIR=${MORVANE_INSTALL_APPDIR} -DEMBEDDED=${MORVANE_EMBEDDED_DIR}
          -P ${CMAKE_CURRENT_LIST_DIR}/check_install.cmake)
set_tests_properties(install_layout PROPERTIES LABELS install TIMEOUT 60)
