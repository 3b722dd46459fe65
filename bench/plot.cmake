if(VX_BUILD_APP)
  add_executable(bench_plot plot_bench.cpp)
  target_link_libraries(bench_plot PRIVATE vx_plot vx_core vx_platform benchmark::benchmark)
  # One pass of every case, so a case that no longer ends (or, in the sanitizer build, one that runs
  # into undefined behaviour) is found by the suite; the timings themselves are read by hand.
  add_test(NAME bench_plot_runs_once COMMAND bench_plot --benchmark_min_time=0)
  set_tests_properties(bench_plot_runs_once PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endif()
