# The manual beside the program: its pages, anchors and links, against the help calls in the sources.
vx_add_test(manual_test SOURCES manual_test.cpp LIBS vx_tools vx_core vx_platform)
target_compile_definitions(manual_test PRIVATE VX_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                               VX_MANUAL_DIR="${VX_MANUAL_DIR}")
add_dependencies(manual_test vx_manual)
