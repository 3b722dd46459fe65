# Open and save: text and own-format readers, the save dispatcher and its writers, the Open command's
# file reading, and the axis type query dialog.
vx_add_test(formats_openformats_test
  SOURCES formats_ascii_test.cpp
  LIBS vx_formats vx_core vx_platform)
