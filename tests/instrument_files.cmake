# Instrument files: the JWS and SPE binary readers and the text exports of instruments and databases, and
# real files written by instruments (tests/data/instruments).
vx_add_test(formats_instrument_files_test
  SOURCES formats_jws_test.cpp formats_spe_test.cpp formats_avasoft_test.cpp formats_small_texts_test.cpp
    formats_real_instrument_files_test.cpp
  LIBS vx_formats vx_core vx_platform)
# The JWS tests open damaged compound files: the container library's own leak is excused by its frames,
# which only the full unwinder reaches (tests/lsan.supp).
if(VX_SANITIZE)
  target_compile_definitions(formats_instrument_files_test PRIVATE VX_SANITIZER_FULL_UNWIND)
endif()
