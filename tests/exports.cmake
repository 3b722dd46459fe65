# The exports: batch export, RRUFF and gnuplot files, their work as plain functions (the SPC files
# through the built library, the gnuplot files run through gnuplot), and their dialogs offscreen.
vx_add_test(exports_test
  SOURCES exports_batch_test.cpp exports_rruff_test.cpp exports_gnuplot_test.cpp
  LIBS vx_tools vx_formats)
target_include_directories(exports_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_dependencies(exports_test vx_gnuplot_files)
target_compile_definitions(exports_test PRIVATE VX_BIN_DIR="${VX_OUT_DIR}/")
if(TARGET gtarnviklib)
  target_compile_definitions(exports_test PRIVATE VX_SPCLIB_PATH="$<TARGET_FILE:gtarnviklib>")
  add_dependencies(exports_test gtarnviklib)
endif()
find_program(VX_GNUPLOT gnuplot)
if(VX_GNUPLOT)
  target_compile_definitions(exports_test PRIVATE VX_GNUPLOT="${VX_GNUPLOT}")
endif()

if(VX_BUILD_APP)
  vx_add_test(exports_gui_test
    SOURCES dialogs_main.cpp exports_dialogs_test.cpp
    LIBS vx_app vx_plot vx_tools)
  # The gnuplot dialog reads its templates beside the program, that is beside the test.
  add_dependencies(exports_gui_test vx_gnuplot_files)
endif()
