if(VX_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport Test)
  vx_add_test(plot_test
    SOURCES plot_curves_test.cpp plot_ticks_test.cpp plot_paint_test.cpp plot_export_test.cpp plot_mouse_test.cpp
    LIBS vx_plot vx_core vx_platform Qt6::Widgets Qt6::PrintSupport Qt6::Test)
endif()
