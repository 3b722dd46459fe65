if(VX_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
  add_executable(bench_shell shell_replot_bench.cpp)
  target_link_libraries(bench_shell PRIVATE vx_app vx_plot vx_tools vx_formats vx_core vx_platform
    Qt6::Widgets Qt6::PrintSupport benchmark::benchmark)
endif()
