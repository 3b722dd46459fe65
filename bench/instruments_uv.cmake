add_executable(bench_instruments_uv instruments_uv_bench.cpp)
find_package(ZLIB REQUIRED)
target_link_libraries(bench_instruments_uv PRIVATE vx_formats vx_core vx_platform benchmark::benchmark ZLIB::ZLIB)
# The JWS and ProcSpec readers as whole processes against fread (bench/instrument_readers_vs_fread.sh).
add_executable(bench_instruments_read_whole_file instruments_read_whole_file.cpp)
target_link_libraries(bench_instruments_read_whole_file PRIVATE vx_formats vx_core vx_platform ZLIB::ZLIB)
