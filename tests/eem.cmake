# The EEM display: its work without a display, and the dialog with its colour map offscreen.
vx_add_test(tools_eem_test SOURCES tools_eem_test.cpp LIBS vx_tools)
if(VX_BUILD_APP)
  vx_add_test(eem_dialog_test SOURCES dialogs_main.cpp eem_dialog_test.cpp LIBS vx_app vx_plot vx_tools)
endif()
