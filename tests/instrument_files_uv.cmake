# Readers of UV/Vis and fluorescence instrument files: PerkinElmer, DU scans, ASC exports, SPK, PRN,
# SpectraWiz and ProcSpec, and a mixed selection of them through the Open command.
vx_add_test(formats_uv_instrument_files_test
  SOURCES formats_perkinelmer_sp_test.cpp formats_scn_procspectrum_test.cpp formats_asc_test.cpp
    formats_spk_prn_spectrawiz_test.cpp formats_instrument_open_test.cpp
  LIBS vx_formats vx_core vx_platform)
# The ProcSpec tests build their archives with zlib.
find_package(ZLIB REQUIRED)
target_link_libraries(formats_uv_instrument_files_test PRIVATE ZLIB::ZLIB)
