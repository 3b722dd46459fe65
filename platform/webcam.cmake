# Webcams through V4L2 (libv4l2 converts picture formats) and JPEG pictures through libjpeg.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VX_V4L2 REQUIRED libv4l2)
find_package(JPEG REQUIRED)
target_include_directories(vx_platform PRIVATE ${VX_V4L2_INCLUDE_DIRS})
target_link_libraries(vx_platform PUBLIC ${VX_V4L2_LINK_LIBRARIES} JPEG::JPEG)
