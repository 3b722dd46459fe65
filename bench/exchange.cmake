add_executable(bench_exchange ${CMAKE_CURRENT_SOURCE_DIR}/exchange_bench.cpp)
target_link_libraries(bench_exchange PRIVATE vx_formats benchmark::benchmark benchmark::benchmark_main)
