# The SPC library: its parts through the object library, its exports and COM class through the built
# gtarnviklib.so.
if(TARGET vx_spclib)
  vx_add_test(spclib_test
    SOURCES spclib_format_test.cpp spclib_document_test.cpp spclib_text_test.cpp spclib_trace_test.cpp
            spclib_file_test.cpp
    LIBS vx_spclib vx_platform)
  if(TARGET gtarnviklib)
    target_compile_definitions(spclib_test PRIVATE VX_SPCLIB_PATH="$<TARGET_FILE:gtarnviklib>")
    add_dependencies(spclib_test gtarnviklib)
  endif()
endif()

if(TARGET gtarnviklib)
  vx_add_test(spclib_com_test SOURCES spclib_com_test.cpp LIBS vx_platform)
  target_compile_definitions(spclib_com_test PRIVATE VX_SPCLIB_PATH="$<TARGET_FILE:gtarnviklib>")
  add_dependencies(spclib_com_test gtarnviklib)

  # The library exports exactly its 95 flat functions and the four COM entries.
  find_program(VX_NM nm)
  if(VX_NM)
    add_test(NAME spclib_exports
      COMMAND sh -c "${VX_NM} -D --defined-only \"$1\" | awk '{print $3}' | LC_ALL=C sort | diff - \"$2\""
              sh $<TARGET_FILE:gtarnviklib> ${CMAKE_CURRENT_SOURCE_DIR}/spclib_exports.txt)
  endif()
endif()

if(TARGET gtarnviklib AND TARGET vx_formats)
  vx_add_test(formats_spc_test SOURCES formats_spc_test.cpp LIBS vx_formats vx_core vx_platform)
  target_compile_definitions(formats_spc_test PRIVATE VX_SPCLIB_PATH="$<TARGET_FILE:gtarnviklib>")
  add_dependencies(formats_spc_test gtarnviklib)
endif()
