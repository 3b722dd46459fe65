vx_add_test(formats_exchange_test
  SOURCES formats_jcamp_reader_test.cpp formats_jcamp_writer_test.cpp formats_text_spectra_test.cpp
          formats_dat_reader_test.cpp formats_text_mutation_test.cpp formats_text_loader_test.cpp
  LIBS vx_formats)
if(VX_BUILD_APP)
  vx_add_test(formats_exchange_gui_test
    SOURCES dialogs_main.cpp formats_text_choose_dia_test.cpp
    LIBS vx_app vx_plot vx_tools)
endif()
