# Tests of the stand-ins and the call layer under Wine. Each test runs from
# this folder's build directory, where the DLLs are, so LoadLibrary finds
# them by name as the programs do.
set(_st ${_si}/tests)

quorbel_add_gtest(standins_mplex_dll_test WINDOWS_ONLY
  SOURCES ${_st}/mplex_dll_test.cpp
  LIBS quorbel_outside_calls quorbel_discimage_test_support)
add_dependencies(standins_mplex_dll_test standin_muxtools standin_dvdscribe)
quorbel_test_fixtures(standins_mplex_dll_test es_fixtures mpeg_fixtures)
# ffprobe runs natively on what the library wrote under Wine.
quorbel_check_outputs(standins_mplex_dll_test standins_mplex_ffprobe VARIABLE QUORBEL_MPLEX_OUT
  SCRIPT ${_st}/probe-mplex-outputs.sh)

quorbel_add_gtest(standins_cdscribe_dll_test WINDOWS_ONLY
  SOURCES ${_st}/cdscribe_dll_test.cpp
  LIBS quorbel_outside_calls quorbel_discimage_test_support)
add_dependencies(standins_cdscribe_dll_test standin_cdscribe)
quorbel_test_fixtures(standins_cdscribe_dll_test es_fixtures mpeg_fixtures)

quorbel_add_gtest(standins_dvdscribe_dll_test WINDOWS_ONLY
  SOURCES ${_st}/dvdscribe_dll_test.cpp
  LIBS quorbel_outside_calls quorbel_discimage_test_support)
add_dependencies(standins_dvdscribe_dll_test standin_dvdscribe)

if(TARGET standin_dvdauthor)
  quorbel_add_gtest(standins_dvdauthor_dll_test WINDOWS_ONLY GUI
    SOURCES ${_st}/dvdauthor_dll_test.cpp
    LIBS quorbel_outside_calls quorbel_discimage_test_support quorbel_gui_test)
  add_dependencies(standins_dvdauthor_dll_test standin_dvdauthor standin_muxtools)
  quorbel_test_fixtures(standins_dvdauthor_dll_test es_fixtures mpeg_fixtures)
  quorbel_check_video_ts(standins_dvdauthor_dll_test)
endif()

quorbel_add_gtest(standins_filters_test WINDOWS_ONLY
  SOURCES ${_st}/filters_test.cpp
  LIBS quorbel_discimage_test_support)
add_dependencies(standins_filters_test standin_MPEGFilter standin_MPEGWriteFilter
  standin_DVDEncoder standin_RealMedia)
target_link_libraries(standins_filters_test PRIVATE advapi32)

# The installed-suite prefix (a Wine prefix of its own, made anew each run).
add_test(NAME standins_suite_prefix
  COMMAND sh ${_st}/check-suite-prefix.sh ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}
          ${CMAKE_BINARY_DIR}/testwork/suite-prefix)
set_tests_properties(standins_suite_prefix PROPERTIES TIMEOUT 300 LABELS "wine;prefix")
quorbel_takes_display(standins_suite_prefix)

# A job's whole road through the stand-ins and the image builder.
if(TARGET standin_dvdauthor AND TARGET quorbel_discimage_entry)
  quorbel_add_gtest(standins_chain_test WINDOWS_ONLY GUI
    SOURCES ${_st}/chain_test.cpp
    LIBS quorbel_outside_calls quorbel_discimage_entry quorbel_discimage_test_support quorbel_gui_test)
  add_dependencies(standins_chain_test standin_muxtools standin_cdscribe standin_dvdscribe standin_dvdauthor)
  quorbel_test_fixtures(standins_chain_test es_fixtures mpeg_fixtures)
  quorbel_check_video_ts(standins_chain_test)
endif()
