vx_add_test(options_tools_test SOURCES options_tools_test.cpp LIBS vx_tools)
if(VX_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport Test)
  vx_add_test(options_dialogs_test SOURCES app_test_support.cpp options_dialogs_test.cpp
    LIBS vx_app vx_plot vx_tools vx_formats vx_core vx_platform Qt6::Widgets Qt6::PrintSupport Qt6::Test)
endif()
