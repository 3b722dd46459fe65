# Batch export of 1,000 spectra x 1,000 points: as CSV files and as one SPC multi-file (through the
# built SPC library, registered from a temporary folder).
if(TARGET gtarnviklib)
  add_executable(bench_exports exports_bench.cpp)
  target_link_libraries(bench_exports PRIVATE vx_tools vx_formats benchmark::benchmark)
  target_compile_definitions(bench_exports PRIVATE VX_SPCLIB_PATH="$<TARGET_FILE:gtarnviklib>")
  add_dependencies(bench_exports gtarnviklib)
endif()
