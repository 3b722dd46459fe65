vx_add_test(formats_fuzz_regressions_test
  SOURCES formats_fuzz_regressions_test.cpp formats_instrument_fuzz_regressions_test.cpp
  LIBS vx_formats)
# Programs that open damaged compound files: the container library's own leak is excused by its frames,
# which only the full unwinder reaches (tests/lsan.supp).
if(VX_SANITIZE)
  target_compile_definitions(formats_fuzz_regressions_test PRIVATE VX_SANITIZER_FULL_UNWIND)
endif()
