# The fluorescence tools: their work as plain functions, and their dialogs driven offscreen.
vx_add_test(tools_fluor_test
  SOURCES tools_fluor_scatter_test.cpp tools_fluor_series_test.cpp
  LIBS vx_tools)
target_compile_definitions(tools_fluor_test PRIVATE VX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
if(VX_BUILD_APP)
  vx_add_test(dialogs_fluor_test
    SOURCES dialogs_main.cpp dialogs_fluor_test.cpp
    LIBS vx_app vx_plot vx_tools)
  target_compile_definitions(dialogs_fluor_test PRIVATE VX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
