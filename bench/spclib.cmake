if(TARGET vx_spclib)
  add_executable(bench_spclib spclib_bench.cpp)
  target_link_libraries(bench_spclib PRIVATE vx_spclib vx_platform benchmark::benchmark)
endif()
