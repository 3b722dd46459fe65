# The Gauss band-group fitting: block, files, model and fit without a display.
vx_add_test(gauss_test
  SOURCES gauss_params_test.cpp gauss_model_test.cpp gauss_fit_test.cpp
  LIBS vx_tools)
