# The hand-over message a running instance reads from its socket.
add_executable(fuzz_hand_over shell_hand_over_fuzz.cpp)
target_compile_options(fuzz_hand_over PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_hand_over PRIVATE -fsanitize=fuzzer)
target_link_libraries(fuzz_hand_over PRIVATE vx_platform)
