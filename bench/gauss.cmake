add_executable(bench_gauss gauss_bench.cpp)
target_link_libraries(bench_gauss PRIVATE vx_tools benchmark::benchmark)
