# The colour map: its rules without Qt, and the control offscreen.
vx_add_test(pcolor_model_test SOURCES pcolor_model_test.cpp pcolor_render_test.cpp LIBS vx_pcolor_model)
if(VX_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
  vx_add_test(pcolor_widget_test SOURCES pcolor_widget_test.cpp
    LIBS vx_plot vx_core vx_platform Qt6::Widgets Qt6::Test)
endif()
