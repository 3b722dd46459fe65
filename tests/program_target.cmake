# What scripts/run builds: the program with its library and shipped files.
if(TARGET varolux32 AND CMAKE_GENERATOR STREQUAL "Ninja")
  add_test(NAME program_target_brings_its_files
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/program_target_test.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
            ${VX_OUT_DIR} "$<TARGET_PROPERTY:vx_beside_files,VX_FILES>"
    COMMAND_EXPAND_LISTS)
endif()
