add_executable(bench_exchange ${CMAKE_CURRENT_SOURCE_DIR}/exchange_bench.cpp)
target_link_libraries(bench_exchange PRIVATE vx_formats benchmark::benchmark benchmark::benchmark_main)
add_executable(exchange_read ${CMAKE_CURRENT_SOURCE_DIR}/exchange_read.cpp)
target_link_libraries(exchange_read PRIVATE vx_formats vx_core vx_platform)
