add_executable(bench_fluor fluor_bench.cpp)
target_link_libraries(bench_fluor PRIVATE vx_tools benchmark::benchmark)
add_test(NAME bench_fluor_runs_once COMMAND bench_fluor --benchmark_min_time=0)
set_tests_properties(bench_fluor_runs_once PROPERTIES TIMEOUT 300)
