# The webcam spectroscope: pictures, frame sources, V4L2 played by a fake device, the conversion and
# the region-of-interest editing, all without a display or a camera.
find_package(JPEG REQUIRED)
vx_add_test(webcam_test
  SOURCES webcam_platform_test.cpp webcam_spectrum_test.cpp webcam_roi_test.cpp
  LIBS vx_tools vx_core vx_platform JPEG::JPEG)
