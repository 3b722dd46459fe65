if(VX_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
  add_executable(bench_shell shell_replot_bench.cpp)
  target_link_libraries(bench_shell PRIVATE vx_app vx_plot vx_tools vx_formats vx_core vx_platform
    Qt6::Widgets Qt6::PrintSupport benchmark::benchmark)
endif()
if(VX_BUILD_APP)
  # One pass of every case (the timings are read by hand), so that a case that no longer ends is found.
  add_test(NAME bench_shell_runs_once COMMAND bench_shell --benchmark_min_time=0)
  set_tests_properties(bench_shell_runs_once PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endif()
