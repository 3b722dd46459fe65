# The SPC library's readers, compiled here again so that libFuzzer sees their coverage.
file(GLOB VX_FUZZ_SPCLIB_SOURCES ${PROJECT_SOURCE_DIR}/spclib/*.cpp)
find_package(PkgConfig REQUIRED)
pkg_check_modules(VX_FUZZ_NETTLE REQUIRED IMPORTED_TARGET nettle)
foreach(t spclib_open spclib_cliptext)
  add_executable(fuzz_${t} ${t}_fuzz.cpp ${VX_FUZZ_SPCLIB_SOURCES})
  target_link_libraries(fuzz_${t} PRIVATE vx_platform PkgConfig::VX_FUZZ_NETTLE)
  # Undefined behaviour stops the run, so that it leaves a crasher behind.
  target_compile_options(fuzz_${t} PRIVATE -fno-sanitize-recover=undefined)
  target_link_options(fuzz_${t} PRIVATE -fsanitize=fuzzer -fno-sanitize-recover=undefined)
endforeach()
