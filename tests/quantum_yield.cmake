# The quantum-yield tools: their work without a display, and their dialogs offscreen.
vx_add_test(quantum_yield_test
  SOURCES tools_quantum_yield_test.cpp tools_low_temp_qy_test.cpp
  LIBS vx_tools)
target_compile_definitions(quantum_yield_test PRIVATE VX_TABLES_DIR="${PROJECT_SOURCE_DIR}/tables")
if(VX_BUILD_APP)
  vx_add_test(quantum_yield_dialog_test
    SOURCES dialogs_main.cpp dialogs_quantum_yield_test.cpp
    LIBS vx_app vx_plot vx_tools)
  target_compile_definitions(quantum_yield_dialog_test PRIVATE VX_TABLES_DIR="${PROJECT_SOURCE_DIR}/tables")
endif()
