# Clipboard data, the binary-file inspector, the spectra information, help pages and the hand-over of
# files to a running instance.
vx_add_test(shell_data_test
  SOURCES core_binary_inspector_test.cpp formats_clipboard_table_test.cpp tools_spectrum_info_test.cpp
          platform_anchor_redirect_test.cpp platform_hand_over_test.cpp
  LIBS vx_tools vx_formats vx_core vx_platform)
if(VX_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
  vx_add_test(shell_data_gui_test
    SOURCES app_test_support.cpp shell_data_gui_test.cpp
    LIBS vx_app vx_plot vx_tools vx_formats vx_core vx_platform Qt6::Widgets Qt6::Test)
endif()
if(VX_BUILD_APP AND TARGET varolux32)
  find_package(Qt6 REQUIRED COMPONENTS Network)
  vx_add_test(shell_hand_over_test
    SOURCES app_test_support.cpp shell_hand_over_test.cpp
    LIBS vx_app vx_plot vx_tools vx_formats vx_core vx_platform Qt6::Widgets Qt6::Network)
  # The two-process tests start the program itself.
  target_compile_definitions(shell_hand_over_test PRIVATE VX_PROGRAM="$<TARGET_FILE:varolux32>")
  add_dependencies(shell_hand_over_test varolux32)
endif()
