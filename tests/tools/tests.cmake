# The simulator's tests use its record generator and command line.
target_link_libraries(tools_simulator_test PRIVATE morvane_sim_lib)
# Its cross-sections are read back by the measurement summary.
target_link_libraries(tools_simulator_test PRIVATE morvane_summary)
