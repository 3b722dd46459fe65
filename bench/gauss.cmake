add_executable(bench_gauss gauss_bench.cpp)
target_link_libraries(bench_gauss PRIVATE vx_tools benchmark::benchmark)
# One pass of the fit, so a fit that no longer ends is found by the suite (the peer is left out).
add_test(NAME bench_gauss_runs_once COMMAND bench_gauss --benchmark_min_time=0 --benchmark_filter=GaussFit)
set_tests_properties(bench_gauss_runs_once PROPERTIES TIMEOUT 300)
