vx_add_test(options_tools_test SOURCES options_tools_test.cpp LIBS vx_tools)
