vx_add_test(core_algos_test
  SOURCES core_least_squares_test.cpp core_smoothing_test.cpp core_arithmetic_test.cpp core_spikes_scatter_test.cpp core_peaks_test.cpp core_colours_tone_test.cpp core_algos_robustness_test.cpp
  LIBS vx_core)

# The strip painter is the one Qt piece; it is tested on an image, headless.
if(VX_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Gui)
  vx_add_test(app_spectroscope_strip_test
    SOURCES app_spectroscope_strip_test.cpp ${PROJECT_SOURCE_DIR}/app/spectroscope_strip.cpp
    LIBS vx_core Qt6::Gui)
endif()
