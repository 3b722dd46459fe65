# The instrument readers (JWS, SPE and the text exports), linked with the instrumented readers of exchange_fuzz.cmake so
# that libFuzzer follows their coverage. Seeds: fuzz/instruments_seeds.sh. The container library under the
# JWS reader leaks on some damaged compound files (see tests/lsan.supp); run that target with
#   LSAN_OPTIONS=suppressions=tests/lsan.supp ASAN_OPTIONS=fast_unwind_on_malloc=0
foreach(target jws spe texts)
  add_executable(fuzz_instruments_${target} instruments_${target}_fuzz.cpp)
  target_link_options(fuzz_instruments_${target} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(fuzz_instruments_${target} PRIVATE vx_fuzz_exchange_objs vx_platform)
endforeach()
