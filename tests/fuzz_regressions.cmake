vx_add_test(formats_fuzz_regressions_test
  SOURCES formats_fuzz_regressions_test.cpp
  LIBS vx_formats)
