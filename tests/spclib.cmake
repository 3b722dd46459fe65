# The SPC library: its parts through the object library, its exports and COM class through the built
# gtarnviklib.so.
if(TARGET vx_spclib)
  vx_add_test(spclib_test
    SOURCES spclib_format_test.cpp spclib_document_test.cpp spclib_text_test.cpp
    LIBS vx_spclib vx_platform)
endif()
