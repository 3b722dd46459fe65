if(VX_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport Test)
  vx_add_test(shell_test
    SOURCES app_test_support.cpp shell_start_test.cpp shell_replot_test.cpp shell_commands_test.cpp
            shell_parts_test.cpp app_core_commands_test.cpp app_spc_save_test.cpp
    LIBS vx_app vx_plot vx_tools vx_formats vx_core vx_platform Qt6::Widgets Qt6::PrintSupport Qt6::Test)
endif()
