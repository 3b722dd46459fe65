# The processing dialogs: their work as plain functions, and the Qt dialogs driven offscreen.
vx_add_test(tools_dialogs_test
  SOURCES tools_support_test.cpp tools_range_test.cpp
  LIBS vx_tools)
