# The Windows packages, made by the target windows_package (`make
# windows-package`), not by a plain build:
#   build-win/morvane-<version>-win64.zip  the portable copy: the program,
#                                          MorvHelp.pdf and README.txt
#   build-win/morvane-<version>-setup.exe  the installer (NSIS), per user
#   build-win/morvane.exe                  the program as both hold it
#   build-win/SHA256SUMS                   the three files' SHA-256 sums
# Both hold the program target MORVANE_PROGRAM_TARGET and the help document.
set(MORVANE_PROGRAM_TARGET morvane CACHE STRING "The program target the Windows packages hold")

# The help document is rendered, as in the Linux build, by the Qt tool in
# tools/helppdf, which cannot run here as a Windows program: it is built
# for the build machine instead, with the host's compiler and Qt, as a
# project of its own (tools/helppdf/host) under the build folder.
include(ExternalProject)
find_program(MORVANE_HOST_CXX NAMES g++ c++ REQUIRED)
set(helppdf_host_dir "${CMAKE_BINARY_DIR}/helppdf-host")
set(helppdf_tool "${helppdf_host_dir}/morvane-helppdf")
ExternalProject_Add(morvane_helppdf_host
  SOURCE_DIR "${CMAKE_SOURCE_DIR}/tools/helppdf/host"
  BINARY_DIR "${helppdf_host_dir}"
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_COMPILER=${MORVANE_HOST_CXX}"
  # Its own build decides whether anything changed.
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS "${helppdf_tool}"
  EXCLUDE_FROM_ALL ON)

set(help_rtf "${MORVANE_EMBEDDED_DIR}/MorvHelpRTF.rtf")
# Beside the program, as in the Linux build, so the built program finds it.
set(help_pdf "${CMAKE_BINARY_DIR}/src/MorvHelp.pdf")
add_custom_command(
  OUTPUT "${help_pdf}"
  COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen "${helppdf_tool}" "${help_rtf}"
          "${help_pdf}"
  DEPENDS morvane_helppdf_host "${helppdf_tool}" "${help_rtf}"
  COMMENT "Rendering the help document MorvHelp.pdf with the build machine's renderer"
  VERBATIM)

set(package_base "morvane-${PROJECT_VERSION}")
set(MORVANE_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/${package_base}-win64.zip")
set(MORVANE_PACKAGE_INSTALLER "${CMAKE_BINARY_DIR}/${package_base}-setup.exe")
set(portable_dir "${CMAKE_BINARY_DIR}/package/portable")
configure_file("${CMAKE_CURRENT_LIST_DIR}/README.txt.in" "${portable_dir}/README.txt" @ONLY
               NEWLINE_STYLE CRLF)

if(NOT TARGET ${MORVANE_PROGRAM_TARGET})
  add_custom_target(windows_package
    COMMAND "${CMAKE_COMMAND}" -E echo
            "The Windows build has no program target ${MORVANE_PROGRAM_TARGET} to package yet"
    COMMAND "${CMAKE_COMMAND}" -E false)
  return()
endif()
set(program "$<TARGET_FILE:${MORVANE_PROGRAM_TARGET}>")

# Both packages take the program and the help document from here; the
# program without its debugging information, which only a developer's build
# needs (build-win/src keeps the full one).
set(staged_program "${portable_dir}/morvane.exe")
set(staged_help "${portable_dir}/MorvHelp.pdf")
set(staged_summary "${portable_dir}/morvane-summary.exe")
# For the packages' tests (tests/package).
set(MORVANE_PACKAGE_DIR "${portable_dir}")
add_custom_command(
  OUTPUT "${staged_program}" "${staged_help}" "${staged_summary}"
  COMMAND "${CMAKE_STRIP}" --strip-debug -o "${staged_program}" "${program}"
  COMMAND "${CMAKE_STRIP}" --strip-debug -o "${staged_summary}" "$<TARGET_FILE:morvane-summary>"
  COMMAND "${CMAKE_COMMAND}" -E copy "${help_pdf}" "${staged_help}"
  DEPENDS ${MORVANE_PROGRAM_TARGET} morvane-summary "${help_pdf}"
  VERBATIM)

# Files at the zip's top: Explorer's "Extract All" makes the folder.
add_custom_command(
  OUTPUT "${MORVANE_PACKAGE_ZIP}"
  COMMAND "${CMAKE_COMMAND}" -E rm -f "${MORVANE_PACKAGE_ZIP}"
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${MORVANE_PACKAGE_ZIP}" --format=zip morvane.exe
          morvane-summary.exe MorvHelp.pdf README.txt
  WORKING_DIRECTORY "${portable_dir}"
  DEPENDS "${staged_program}" "${staged_summary}" "${staged_help}" "${portable_dir}/README.txt"
  COMMENT "Packing the portable zip ${package_base}-win64.zip"
  VERBATIM)

# NSIS wants a version of four numbers for the installer's own.
set(version4 "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
foreach(part PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    string(APPEND version4 ".0")
  else()
    string(APPEND version4 ".${PROJECT_VERSION_${part}}")
  endif()
endforeach()
find_program(MORVANE_MAKENSIS makensis REQUIRED)
set(nsi "${CMAKE_CURRENT_LIST_DIR}/morvane.nsi")
add_custom_command(
  OUTPUT "${MORVANE_PACKAGE_INSTALLER}"
  # -WX: its warnings fail the build, as the compilers' do.
  COMMAND "${MORVANE_MAKENSIS}" -V2 -WX -NOCD "-DVERSION=${PROJECT_VERSION}" "-DVERSION4=${version4}"
          "-DPROGRAM=${staged_program}" "-DSUMMARY=${staged_summary}" "-DHELP=${staged_help}" "-DICON=${MORVANE_ARTWORK_DIR}/PROP1.ico"
          "-DOUTFILE=${MORVANE_PACKAGE_INSTALLER}" "${nsi}"
  DEPENDS "${staged_program}" "${staged_summary}" "${staged_help}" "${nsi}" morvane_win32_artwork
          "${MORVANE_ARTWORK_DIR}/PROP1.ico"
  COMMENT "Making the installer ${package_base}-setup.exe"
  VERBATIM)

# The published program, beside the two packages, and the sums of all three.
set(MORVANE_PACKAGE_PROGRAM "${CMAKE_BINARY_DIR}/morvane.exe")
set(MORVANE_PACKAGE_SUMS "${CMAKE_BINARY_DIR}/SHA256SUMS")
add_custom_command(
  OUTPUT "${MORVANE_PACKAGE_PROGRAM}" "${MORVANE_PACKAGE_SUMS}"
  COMMAND "${CMAKE_COMMAND}" -E copy "${staged_program}" "${MORVANE_PACKAGE_PROGRAM}"
  COMMAND "${CMAKE_COMMAND}"
          "-DFILES=${MORVANE_PACKAGE_PROGRAM};${MORVANE_PACKAGE_INSTALLER};${MORVANE_PACKAGE_ZIP}"
          "-DSUMS=${MORVANE_PACKAGE_SUMS}" -P "${CMAKE_CURRENT_LIST_DIR}/sha256sums.cmake"
  DEPENDS "${staged_program}" "${MORVANE_PACKAGE_INSTALLER}" "${MORVANE_PACKAGE_ZIP}"
          "${CMAKE_CURRENT_LIST_DIR}/sha256sums.cmake"
  COMMENT "Writing SHA256SUMS of the program, the installer and the zip"
  VERBATIM)

add_custom_target(windows_package DEPENDS "${MORVANE_PACKAGE_ZIP}" "${MORVANE_PACKAGE_INSTALLER}"
                                          "${MORVANE_PACKAGE_PROGRAM}" "${MORVANE_PACKAGE_SUMS}")
