if(VX_BUILD_APP)
  add_executable(bench_plot plot_bench.cpp)
  target_link_libraries(bench_plot PRIVATE vx_plot vx_core vx_platform benchmark::benchmark)
endif()
