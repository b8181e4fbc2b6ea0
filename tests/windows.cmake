# The Windows build's tests: the platform-free tests and the Win32 layers'
# own tests (*_win32_test.cpp), cross-built and run under Wine, all with the
# label "windows". Each test case runs as its own process, as on Linux.
#
# Wine keeps its state in a prefix folder, here a private one in the build
# folder, made once by the fixture test wine_session_start. That test also
# starts the one Wine server the run uses, on a virtual display of its own;
# wine_session_stop ends both.
set(GTEST_HAS_ABSL OFF)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
include(GoogleTest)

find_program(MORVANE_WINESERVER NAMES wineserver wineserver64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(MORVANE_WINESERVER NAMES wineserver wineserver64)
set(MORVANE_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(wine_environment
    "WINEPREFIX=${MORVANE_WINEPREFIX}"
    "WINEDEBUG=-all"
    # Never the user's display: the tests run on the session's own (see
    # wine_session.sh and wine_display.sh).
    "DISPLAY="
    "WAYLAND_DISPLAY=")

add_test(NAME wine_session_start
         COMMAND sh "${CMAKE_SOURCE_DIR}/cmake/wine_session.sh" start "${MORVANE_WINESERVER}")
add_test(NAME wine_session_stop
         COMMAND sh "${CMAKE_SOURCE_DIR}/cmake/wine_session.sh" stop "${MORVANE_WINESERVER}")
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine LABELS windows
                     TIMEOUT 300 ENVIRONMENT "${wine_environment}")
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine LABELS windows
                     TIMEOUT 60 ENVIRONMENT "${wine_environment}")

# The instrument of the serial tests is a Linux program (see
# support/pty_line_win32.h), built with the host's compiler.
find_program(MORVANE_HOST_CXX NAMES g++ c++ REQUIRED)
set(pty_line "${CMAKE_CURRENT_BINARY_DIR}/morvane-pty-line")
add_custom_command(
  OUTPUT "${pty_line}"
  COMMAND "${MORVANE_HOST_CXX}" -std=c++20 -O1 -Wall -Wextra -Wshadow -Werror
          "${CMAKE_CURRENT_SOURCE_DIR}/wine/pty_line.cpp" -o "${pty_line}"
  DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/wine/pty_line.cpp"
  COMMENT "Building the Linux instrument for the serial tests under Wine")
add_custom_target(morvane_pty_line ALL DEPENDS "${pty_line}")
list(APPEND wine_environment "MORVANE_PTY_LINE=${pty_line}")

set(support_sources "${CMAKE_CURRENT_SOURCE_DIR}/support/literal_converter.cpp")
file(GLOB win32_support CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/support/*_win32.cpp")
add_library(morvane_test_support STATIC ${support_sources} ${win32_support})
target_include_directories(morvane_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(morvane_test_support PUBLIC morvane_plain morvane_ezgui gtest gtest_main
                                                  ws2_32)

# Every test runs on the session's virtual display (see wine_session.sh).
# Tests that make windows (*_gui_win32_test.cpp) take it one at a time.

# The tests that use no GUI and no POSIX call, shared with the Linux build,
# the GUI layer's shared rules (tests/app/ezgui) among them.
set(test_sources
    "${CMAKE_CURRENT_SOURCE_DIR}/output/path_parts_test.cpp"
    "${CMAKE_CURRENT_SOURCE_DIR}/ports/settings_file_test.cpp"
    "${CMAKE_CURRENT_SOURCE_DIR}/transfer/record_converter_test.cpp"
    "${CMAKE_CURRENT_SOURCE_DIR}/transfer/record_converter_identity_test.cpp"
    "${CMAKE_CURRENT_SOURCE_DIR}/tools/simulator_test.cpp"
    "${CMAKE_CURRENT_SOURCE_DIR}/summary/discharge_test.cpp"
    "${CMAKE_CURRENT_SOURCE_DIR}/summary/measurement_reader_test.cpp"
    "${CMAKE_CURRENT_SOURCE_DIR}/summary/summary_command_test.cpp")
file(GLOB ezgui_rule_tests CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/app/ezgui/*_test.cpp")
file(GLOB win32_tests CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*/*_win32_test.cpp"
     "${CMAKE_CURRENT_SOURCE_DIR}/app/ezgui/win32/*_win32_test.cpp")
list(APPEND test_sources ${ezgui_rule_tests} ${win32_tests})

add_library(morvane_sim_records STATIC "${CMAKE_SOURCE_DIR}/tools/simulator/record_generator.cpp")
target_include_directories(morvane_sim_records PUBLIC "${CMAKE_SOURCE_DIR}/tools/simulator")

foreach(src IN LISTS test_sources)
  get_filename_component(name "${src}" NAME_WE)
  # Named after the subsystem, the first folder below tests/, as on Linux.
  file(RELATIVE_PATH relative "${CMAKE_CURRENT_SOURCE_DIR}" "${src}")
  string(REGEX REPLACE "/.*" "" sub "${relative}")
  set(target "${sub}_${name}")
  add_executable(${target} "${src}")
  target_link_libraries(${target} PRIVATE morvane_test_support)
  if(sub STREQUAL "tools")
    target_link_libraries(${target} PRIVATE morvane_sim_records)
  endif()
  if(sub STREQUAL "tools" OR sub STREQUAL "summary")
    target_link_libraries(${target} PRIVATE morvane_summary)
  endif()
  target_compile_definitions(${target} PRIVATE MORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # A test file may ask for the program's resources by naming itself
  # *_res_*win32_test.cpp.
  if(name MATCHES "_res_")
    morvane_add_win32_resources(${target})
    target_link_libraries(${target} PRIVATE version)
  endif()
  # The scan's tests run the scan, which fills the window's port list.
  if(name MATCHES "^port_scan_")
    target_link_libraries(${target} PRIVATE morvane_core)
  endif()
  # The program's own test starts the program.
  if(name MATCHES "^morvane_exe_")
    add_dependencies(${target} morvane)
    target_compile_definitions(${target} PRIVATE MORVANE_EXE="$<TARGET_FILE:morvane>")
  endif()
  # Every test program links the GUI layer; one that reached Wine's desktop
  # without the session's display would leave it drawing nowhere.
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
      "sh;${CMAKE_SOURCE_DIR}/cmake/wine_display.sh;${CMAKE_CROSSCOMPILING_EMULATOR}")
  # Listing the cases from the source, not by running the .exe, keeps Wine
  # out of the build.
  gtest_add_tests(TARGET ${target} SOURCES "${src}" TEST_LIST cases)
  # A stuck Wine fails its test, not the whole run.
  set_tests_properties(${cases} PROPERTIES LABELS windows TIMEOUT 60 FIXTURES_REQUIRED wine
                       ENVIRONMENT "${wine_environment}"
                       SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
  # Serial tests publish their instrument under COM numbers of their own
  # choosing in the one Wine prefix: one such test at a time.
  # Windows on the one virtual display share its keyboard and its
  # foreground window: a test typing keys must not have another test's
  # window take them. One such test at a time.
  if(name MATCHES "_gui_win32_test$")
    set_tests_properties(${cases} PROPERTIES RESOURCE_LOCK wine_desktop)
  endif()
  if(name MATCHES "^(serial|port_probe|port_scan|morvane_exe)_")
    set_tests_properties(${cases} PROPERTIES RESOURCE_LOCK wine_com_ports)
  endif()
endforeach()

include("${CMAKE_CURRENT_SOURCE_DIR}/wine/e2e.cmake")
include("${CMAKE_CURRENT_SOURCE_DIR}/package/windows_package.cmake")
