# The disc creator's windows under Wine (included from app_vantrel.cmake):
# the application's start-up, the disc-type chooser, the scanning dialog
# and the source-file list window, driven by messages in real windows.
#
# The test program gets a folder of its own, as the installed program has:
# its "param.ini" is its own, and the outside libraries it loads by name
# (muxTools, CdScribe, DvdScribe, the program folder's filter) lie beside it. The
# conversion control is registered by the test from there. The skin library
# is not: these windows are tested as the system draws them.
quorbel_add_gtest(creator_app_test WINDOWS_ONLY GUI TIMEOUT 240
  SOURCES ${_cr}/tests/creator_app_test.cpp
  LIBS quorbel_creator_res quorbel_creator_app quorbel_gui_test quorbel_discimage_test_support
    quorbel_program_test_support)
include(${PROJECT_SOURCE_DIR}/testing/programs/program_tests.cmake)
quorbel_test_in_own_folder(creator_app_test standin_muxtools standin_cdscribe standin_convctl standin_MPEGFilter
  standin_MPEGWriteFilter standin_DVDEncoder standin_RealMedia standin_dvdscribe standin_dvdauthor)
quorbel_test_fixtures(creator_app_test mpeg_fixtures)

# Vantrel.exe itself in a prefix made like an installed suite.
quorbel_suite_program_test(vantrel_program Vantrel ${_cr}/tests/vantrel_program_test.cpp)
