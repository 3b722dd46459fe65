# Open and save: text and own-format readers, the save dispatcher and its writers, the Open command's
# file reading, and the axis type query dialog.
vx_add_test(formats_openformats_test
  SOURCES formats_ascii_test.cpp formats_rvx_test.cpp formats_save_test.cpp formats_open_test.cpp
    formats_format_table_test.cpp
  LIBS vx_formats vx_core vx_platform)
# The table test checks the README's list of formats without a reader.
target_compile_definitions(formats_openformats_test PRIVATE VX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
if(VX_BUILD_APP)
  vx_add_test(formats_axis_query_dialog_test
    SOURCES formats_axis_query_dialog_test.cpp
    LIBS vx_app vx_plot vx_tools)
endif()
