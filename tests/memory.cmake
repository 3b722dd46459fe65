if(VX_BUILD_APP)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  # Resident-size figures: a program of its own, so that no other test's memory is in them.
  vx_add_test(memory_return_test
    SOURCES memory_return_test.cpp
    LIBS vx_app vx_plot vx_tools vx_formats vx_core vx_platform Qt6::Widgets)
endif()
