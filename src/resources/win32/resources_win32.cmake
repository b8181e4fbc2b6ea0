# The program's resources in the Windows build, compiled by windres: the
# icon and the two pictures are made here from the PNG files the Linux
# build embeds (src/resources/embedded), so both builds show the same
# artwork from one source. Like every resource, they must be linked into
# the executable itself; morvane_add_win32_resources(target) does that.
enable_language(RC)
find_program(MORVANE_CONVERT NAMES convert REQUIRED)

set(MORVANE_EMBEDDED_DIR "${CMAKE_CURRENT_LIST_DIR}/../embedded")
cmake_path(NORMAL_PATH MORVANE_EMBEDDED_DIR)
set(MORVANE_ARTWORK_DIR "${CMAKE_BINARY_DIR}/artwork")
set(embedded "${MORVANE_EMBEDDED_DIR}")
set(icon_sizes "${embedded}/PROP1_16.png" "${embedded}/PROP1_32.png" "${embedded}/PROP1_48.png"
               "${embedded}/PROP1_64.png")

# Bitmaps as 24-bit BMP3, which every version of LoadImage reads; the two
# pictures are opaque, so nothing is lost.
add_custom_command(
  OUTPUT "${MORVANE_ARTWORK_DIR}/PROP1.ico" "${MORVANE_ARTWORK_DIR}/BG2.bmp"
         "${MORVANE_ARTWORK_DIR}/MORVANE1.bmp"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${MORVANE_ARTWORK_DIR}"
  COMMAND "${MORVANE_CONVERT}" ${icon_sizes} "${MORVANE_ARTWORK_DIR}/PROP1.ico"
  COMMAND "${MORVANE_CONVERT}" "${embedded}/BG2.png" -alpha off -type TrueColor
          "BMP3:${MORVANE_ARTWORK_DIR}/BG2.bmp"
  COMMAND "${MORVANE_CONVERT}" "${embedded}/MORVANE1.png" -alpha off -type TrueColor
          "BMP3:${MORVANE_ARTWORK_DIR}/MORVANE1.bmp"
  DEPENDS ${icon_sizes} "${embedded}/BG2.png" "${embedded}/MORVANE1.png"
  COMMENT "Making the Windows icon and bitmaps from the PNG artwork")
add_custom_target(morvane_win32_artwork
  DEPENDS "${MORVANE_ARTWORK_DIR}/PROP1.ico" "${MORVANE_ARTWORK_DIR}/BG2.bmp"
          "${MORVANE_ARTWORK_DIR}/MORVANE1.bmp")

set(MORVANE_RC_DIR "${CMAKE_CURRENT_LIST_DIR}")
set(MORVANE_RC_FILE "${CMAKE_BINARY_DIR}/artwork/morvane.rc")
configure_file("${CMAKE_CURRENT_LIST_DIR}/morvane.rc.in" "${MORVANE_RC_FILE}" @ONLY)
set(MORVANE_RC_INPUTS
    "${MORVANE_ARTWORK_DIR}/PROP1.ico" "${MORVANE_ARTWORK_DIR}/BG2.bmp"
    "${MORVANE_ARTWORK_DIR}/MORVANE1.bmp" "${MORVANE_EMBEDDED_DIR}/MorvHelpRTF.rtf"
    "${CMAKE_CURRENT_LIST_DIR}/morvane.manifest")

function(morvane_add_win32_resources target)
  target_sources(${target} PRIVATE "${MORVANE_RC_FILE}")
  # windres reads the files the .rc names; a changed picture rebuilds it.
  set_source_files_properties("${MORVANE_RC_FILE}" PROPERTIES OBJECT_DEPENDS
                              "${MORVANE_RC_INPUTS}")
  add_dependencies(${target} morvane_win32_artwork)
endfunction()
