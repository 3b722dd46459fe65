# Sorting, concentration, advanced smoothing and baselines: the work without a display, and the
# dialogs driven offscreen.
vx_add_test(tools_processing_test
  SOURCES tools_sort_konz_test.cpp tools_adv_smooth_baseline_test.cpp
  LIBS vx_tools)
if(VX_BUILD_APP)
  vx_add_test(dialogs_processing_test
    SOURCES dialogs_main.cpp dialogs_processing_test.cpp
    LIBS vx_app vx_plot vx_tools)
endif()
