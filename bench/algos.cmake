add_executable(bench_algos algos_bench.cpp)
target_link_libraries(bench_algos PRIVATE vx_core benchmark::benchmark)
