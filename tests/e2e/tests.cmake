# End-to-end tests: the built program, a copy of it in a program folder of
# its own, driven on a virtual X display by keys and the mouse against the
# simulated instrument; what it did is read back from the files it writes.
# All carry the label "e2e". They need xvfb-run and xdotool (scripts/deps.sh);
# without them they report themselves skipped (exit status 77).
add_executable(e2e_stream_oracle ${CMAKE_CURRENT_LIST_DIR}/stream_oracle.cpp)
set_target_properties(e2e_stream_oracle PROPERTIES AUTOMOC OFF)

add_test(NAME e2e_stream_oracle_selftest
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/oracle_selftest.sh $<TARGET_FILE:e2e_stream_oracle>)
set_tests_properties(e2e_stream_oracle_selftest PROPERTIES LABELS e2e TIMEOUT 60)

foreach(scenario append_overwrite port_in_use hangup exit_while_receiving)
  add_test(NAME e2e_${scenario}
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/launch.sh ${scenario}
                   ${CMAKE_CURRENT_BINARY_DIR}/e2e-work/${scenario})
  # One display at a time: the scenarios wait on the program's own pauses,
  # and two of them side by side only make each other's timing worse.
  set_tests_properties(e2e_${scenario} PROPERTIES
    LABELS e2e
    TIMEOUT 180
    SKIP_RETURN_CODE 77
    RESOURCE_LOCK e2e_display
    ENVIRONMENT "E2E_PROGRAM=$<TARGET_FILE:morvane>;E2E_SIMULATOR=$<TARGET_FILE:morvane-sim>;E2E_ORACLE=$<TARGET_FILE:e2e_stream_oracle>")
endforeach()
