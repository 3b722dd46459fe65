add_executable(bench_instruments_uv instruments_uv_bench.cpp)
find_package(ZLIB REQUIRED)
target_link_libraries(bench_instruments_uv PRIVATE vx_formats vx_core vx_platform benchmark::benchmark ZLIB::ZLIB)
