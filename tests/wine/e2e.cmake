# The end-to-end test of the Windows program: morvane.exe under Wine on the
# session's virtual display, driven by keys through xdotool against the
# simulated instrument, as the Linux end-to-end tests drive the Linux
# program (tests/e2e). The instrument and the check of what the program
# wrote are Linux programs, built here with the host's compiler from the
# same sources the Linux build uses.
set(host_sim "${CMAKE_CURRENT_BINARY_DIR}/morvane-sim")
set(sim_dir "${CMAKE_SOURCE_DIR}/tools/simulator")
set(sim_sources "${sim_dir}/main.cpp" "${sim_dir}/sim_session.cpp" "${sim_dir}/sim_port.cpp"
                "${sim_dir}/record_generator.cpp" "${sim_dir}/sim_options.cpp")
add_custom_command(
  OUTPUT "${host_sim}"
  COMMAND "${MORVANE_HOST_CXX}" -std=c++20 -O1 -Wall -Wextra -Wshadow -Werror ${sim_sources}
          -o "${host_sim}"
  DEPENDS ${sim_sources} "${sim_dir}/pacer.h" "${sim_dir}/record_generator.h"
          "${sim_dir}/sim_options.h" "${sim_dir}/sim_port.h" "${sim_dir}/sim_session.h"
  COMMENT "Building the simulated instrument for the end-to-end test under Wine")

set(host_oracle "${CMAKE_CURRENT_BINARY_DIR}/e2e_stream_oracle")
add_custom_command(
  OUTPUT "${host_oracle}"
  COMMAND "${MORVANE_HOST_CXX}" -std=c++20 -O1 -Wall -Wextra -Wshadow -Werror
          "${CMAKE_CURRENT_SOURCE_DIR}/e2e/stream_oracle.cpp" -o "${host_oracle}"
  DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/e2e/stream_oracle.cpp"
  COMMENT "Building the stream check for the end-to-end test under Wine")
add_custom_target(morvane_wine_e2e_tools ALL DEPENDS "${host_sim}" "${host_oracle}")

add_test(NAME wine_e2e_transfer
         COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/wine/e2e_transfer.sh"
                 "${CMAKE_CURRENT_BINARY_DIR}/wine-e2e-work")
# The scenario's own watchdog ends it first and leaves a picture of the
# screen; TIMEOUT is the last resort against a stuck Wine.
set_tests_properties(wine_e2e_transfer PROPERTIES
  LABELS windows
  TIMEOUT 150
  FIXTURES_REQUIRED wine
  SKIP_RETURN_CODE 77
  RESOURCE_LOCK "wine_desktop;wine_com_ports"
  ENVIRONMENT "${wine_environment};E2E_PROGRAM=$<TARGET_FILE:morvane>;E2E_SIMULATOR=${host_sim};E2E_ORACLE=${host_oracle}")
