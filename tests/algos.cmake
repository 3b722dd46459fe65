vx_add_test(core_algos_test
  SOURCES core_least_squares_test.cpp core_smoothing_test.cpp
  LIBS vx_core)
