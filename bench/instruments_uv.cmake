add_executable(bench_instruments_uv instruments_uv_bench.cpp)
find_package(ZLIB REQUIRED)
target_link_libraries(bench_instruments_uv PRIVATE vx_formats vx_core vx_platform benchmark::benchmark ZLIB::ZLIB PkgConfig::LIBZIP)
# The instrument readers as whole processes against fread and their floors (bench/binary_readers_vs_floor.sh).
add_executable(bench_instruments_read_whole_file instruments_read_whole_file.cpp)
target_link_libraries(bench_instruments_read_whole_file PRIVATE vx_formats vx_core vx_platform ZLIB::ZLIB PkgConfig::LIBZIP)
