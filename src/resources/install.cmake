# Installation layout. The program looks for its help document MorvHelp.pdf
# in its own folder, so the two live together in a private folder,
# MORVANE_INSTALL_APPDIR, and bin/ holds a relative symbolic link to the
# program. The program finds its folder through /proc/self/exe, which names
# the link's target, so starting it through the link still finds the PDF.
# That folder is not writable for users once installed; the program then keeps
# its settings and raw log under $XDG_DATA_HOME/morvane instead.
#
# Included after src/ (it installs the program target) and before tools/
# (the help document's install rule there uses MORVANE_INSTALL_APPDIR).
include(GNUInstallDirs)
set(MORVANE_INSTALL_APPDIR "lib/morvane" CACHE STRING
    "Folder, under the install prefix, holding the program and its help document")

install(TARGETS morvane RUNTIME DESTINATION "${MORVANE_INSTALL_APPDIR}")
# The measurement summary on the command line needs nothing beside it.
install(TARGETS morvane-summary RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

file(RELATIVE_PATH morvane_link_target "/${CMAKE_INSTALL_BINDIR}"
     "/${MORVANE_INSTALL_APPDIR}/morvane")
# The manifest lists installed files without DESTDIR, as CMake's own rules do.
install(CODE "
  set(link \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/morvane\")
  message(STATUS \"Installing: \$ENV{DESTDIR}\${link} -> ${morvane_link_target}\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"${morvane_link_target}\" \"\$ENV{DESTDIR}\${link}\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")
")

# Exec and Icon are bare names: the desktop finds the link on PATH and the
# icon in the hicolor theme.
set(MORVANE_DESKTOP_NAME morvane)
configure_file("${CMAKE_CURRENT_LIST_DIR}/morvane.desktop.in"
               "${CMAKE_BINARY_DIR}/morvane.desktop" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/morvane.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")

foreach(px 16 32 48 64)
  install(FILES "${MORVANE_EMBEDDED_DIR}/PROP1_${px}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${px}x${px}/apps"
          RENAME morvane.png)
endforeach()

# The manual pages, and the description software centres show
# (`appstreamcli validate` checks it). The description's id is for good:
# software centres know the program by it.
set(MORVANE_APPSTREAM_ID org.morvane.transfer)
install(FILES "${CMAKE_SOURCE_DIR}/docs/man/morvane.1" "${CMAKE_SOURCE_DIR}/docs/man/morvane-summary.1"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${CMAKE_CURRENT_LIST_DIR}/${MORVANE_APPSTREAM_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
