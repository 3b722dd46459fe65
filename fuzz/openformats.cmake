foreach(target rvx ascii)
  add_executable(fuzz_openformats_${target} openformats_${target}_fuzz.cpp)
  # Undefined behaviour stops the run, so that it leaves a crasher behind.
  target_compile_options(fuzz_openformats_${target} PRIVATE -fsanitize=fuzzer -fno-sanitize-recover=undefined)
  target_link_options(fuzz_openformats_${target} PRIVATE -fsanitize=fuzzer -fno-sanitize-recover=undefined)
  target_link_libraries(fuzz_openformats_${target} PRIVATE vx_formats vx_core vx_platform)
endforeach()
# The own-format reader compiled here again, so that libFuzzer sees its coverage.
target_sources(fuzz_openformats_rvx PRIVATE ${PROJECT_SOURCE_DIR}/formats/rvx.cpp)
