# The binary readers of UV/Vis instrument files: PerkinElmer SP, DU scans and ProcSpec archives, linked
# with the instrumented readers of exchange_fuzz.cmake so that libFuzzer sees their coverage. Seeds:
# fuzz/instruments_uv_seeds.py.
foreach(target sp scn procspectrum)
  add_executable(fuzz_instruments_${target} instruments_${target}_fuzz.cpp)
  target_link_options(fuzz_instruments_${target} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(fuzz_instruments_${target} PRIVATE vx_fuzz_exchange_objs vx_platform)
endforeach()
