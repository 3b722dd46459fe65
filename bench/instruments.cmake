add_executable(bench_instruments instruments_bench.cpp)
target_link_libraries(bench_instruments PRIVATE vx_formats vx_core vx_platform benchmark::benchmark PkgConfig::LIBZIP)
