# The Gauss band-group fitting: block, files, model and fit without a display.
vx_add_test(gauss_test
  SOURCES gauss_params_test.cpp gauss_model_test.cpp gauss_fit_test.cpp
  LIBS vx_tools)
# The dialog and the GaussFit commands, offscreen.
if(VX_BUILD_APP)
  vx_add_test(gauss_dialog_test
    SOURCES dialogs_main.cpp gauss_dialog_test.cpp
    LIBS vx_app vx_plot vx_tools)
endif()
