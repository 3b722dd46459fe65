# The picture readers are compiled into the target itself, so that the fuzzer sees their branches.
add_executable(fuzz_webcam_picture webcam_picture_fuzz.cpp ${PROJECT_SOURCE_DIR}/platform/bmp_file.cpp
  ${PROJECT_SOURCE_DIR}/platform/jpeg_file.cpp ${PROJECT_SOURCE_DIR}/platform/frame.cpp
  ${PROJECT_SOURCE_DIR}/platform/v4l2_camera.cpp)
target_compile_options(fuzz_webcam_picture PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_webcam_picture PRIVATE -fsanitize=fuzzer)
target_link_libraries(fuzz_webcam_picture PRIVATE vx_platform)
