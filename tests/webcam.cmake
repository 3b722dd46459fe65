# The webcam spectroscope: pictures, frame sources, V4L2 played by a fake device, the conversion and
# the region-of-interest editing, all without a display or a camera; a v4l2loopback device, where one
# exists, is fed frames end to end.
find_package(JPEG REQUIRED)
vx_add_test(webcam_test
  SOURCES webcam_platform_test.cpp webcam_spectrum_test.cpp webcam_roi_test.cpp webcam_loopback_test.cpp
  LIBS vx_tools vx_core vx_platform JPEG::JPEG)
if(VX_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport Test)
  vx_add_test(webcam_gui_test
    SOURCES app_test_support.cpp webcam_gui_test.cpp
    LIBS vx_app vx_plot vx_tools vx_formats vx_core vx_platform Qt6::Widgets Qt6::PrintSupport Qt6::Test)
endif()
