# Readers of instrument files: PerkinElmer, DU scans, ASC exports, SPK, PRN, SpectraWiz, ProcSpec.
vx_add_test(formats_instrument_files_test
  SOURCES formats_perkinelmer_sp_test.cpp
  LIBS vx_formats vx_core vx_platform)
