# The processing dialogs: their work as plain functions, and the Qt dialogs driven offscreen.
vx_add_test(tools_dialogs_test
  SOURCES tools_support_test.cpp tools_range_test.cpp tools_transform_test.cpp tools_peak_table_test.cpp
  LIBS vx_tools)
if(VX_BUILD_APP)
  vx_add_test(dialogs_gui_test
    SOURCES dialogs_main.cpp dialogs_small_test.cpp dialogs_tools_test.cpp dialogs_commands_test.cpp
            command_host_test.cpp
    LIBS vx_app vx_plot vx_tools)
endif()
