# The format table knows its readers, never the reverse.
add_test(NAME formats_readers_do_not_include_the_table
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/reader_includes_test.sh ${CMAKE_SOURCE_DIR})
