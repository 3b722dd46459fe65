# The quantum-yield tools: their work without a display, and their dialogs offscreen.
vx_add_test(quantum_yield_test
  SOURCES tools_quantum_yield_test.cpp tools_low_temp_qy_test.cpp
  LIBS vx_tools)
target_compile_definitions(quantum_yield_test PRIVATE VX_TABLES_DIR="${PROJECT_SOURCE_DIR}/tables")
