if(VX_BUILD_APP)
  add_executable(bench_pcolor pcolor_bench.cpp)
  target_link_libraries(bench_pcolor PRIVATE vx_plot vx_core vx_platform benchmark::benchmark)
  target_compile_definitions(bench_pcolor PRIVATE VX_BENCH_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  # One pass of the colour map's cases, so one that no longer ends is found by the suite (matplotlib is
  # left out).
  add_test(NAME bench_pcolor_runs_once COMMAND bench_pcolor --benchmark_min_time=0 --benchmark_filter=PColor)
  set_tests_properties(bench_pcolor_runs_once PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endif()
