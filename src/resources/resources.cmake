# Embeds the program's resources into a target. Resources must be added to the
# executable itself: a resource object inside a static library is dropped by
# the linker because nothing references it.
#
# Every file in src/resources/embedded/ is embedded as ":/res/<file name>".
# The GUI layer finds a resource NAME (any letter case) as ":/res/NAME.<ext>";
# an icon group NAME as the files ":/res/NAME_<pixels>.png".
file(GLOB MORVANE_EMBEDDED_FILES CONFIGURE_DEPENDS
     "${CMAKE_CURRENT_LIST_DIR}/embedded/*")
set(MORVANE_EMBEDDED_DIR "${CMAKE_CURRENT_LIST_DIR}/embedded")

function(morvane_add_resources target)
  if(NOT MORVANE_EMBEDDED_FILES)
    return()
  endif()
  qt_add_resources(${target} "${target}_embedded"
    PREFIX "/res"
    BASE "${MORVANE_EMBEDDED_DIR}"
    FILES ${MORVANE_EMBEDDED_FILES})
endfunction()
