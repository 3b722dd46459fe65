# Clipboard data, the binary-file inspector, the spectra information, help pages and the hand-over of
# files to a running instance.
vx_add_test(shell_data_test
  SOURCES core_binary_inspector_test.cpp formats_clipboard_table_test.cpp tools_spectrum_info_test.cpp
          platform_anchor_redirect_test.cpp
  LIBS vx_tools vx_formats vx_core vx_platform)
