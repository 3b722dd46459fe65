vx_add_test(core_algos_test
  SOURCES core_least_squares_test.cpp core_smoothing_test.cpp core_arithmetic_test.cpp core_spikes_scatter_test.cpp core_peaks_test.cpp core_colours_tone_test.cpp
  LIBS vx_core)
