add_executable(bench_webcam webcam_bench.cpp)
target_link_libraries(bench_webcam PRIVATE vx_tools vx_core vx_platform benchmark::benchmark)
