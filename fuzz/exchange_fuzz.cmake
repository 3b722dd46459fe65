# The exchange-format text readers: JCAMP-DX, delimited text (file and clipboard) and DAT. The readers
# and the core helpers they call are compiled here again so that libFuzzer sees their coverage.
file(GLOB VX_FUZZ_EXCHANGE_SOURCES ${PROJECT_SOURCE_DIR}/formats/*.cpp ${PROJECT_SOURCE_DIR}/core/*.cpp)
add_library(vx_fuzz_exchange_objs OBJECT ${VX_FUZZ_EXCHANGE_SOURCES})
target_link_libraries(vx_fuzz_exchange_objs PUBLIC vx_platform PkgConfig::LIBZIP PkgConfig::LIBGSF)
foreach(target jcamp text dat)
  add_executable(fuzz_exchange_${target} exchange_${target}_fuzz.cpp)
  target_link_options(fuzz_exchange_${target} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(fuzz_exchange_${target} PRIVATE vx_fuzz_exchange_objs vx_platform)
endforeach()
# The own-format and two-column readers' targets again, linked with the instrumented readers above so
# that their runs are guided by the readers' coverage too.
foreach(target rvx ascii)
  add_executable(fuzz_exchange_covered_${target} openformats_${target}_fuzz.cpp)
  target_link_options(fuzz_exchange_covered_${target} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(fuzz_exchange_covered_${target} PRIVATE vx_fuzz_exchange_objs vx_platform)
endforeach()
