# The disc burner's windows under Wine (included from pelzor.cmake), driven
# by messages in real windows.
#
# Each test program gets a folder of its own, as the installed program has:
# its "param.ini" and "vcd.xml" are its own, and the outside libraries it
# loads by name (muxTools, CdScribe, DvdScribe, DVDAuthorDLL) lie beside it.
# The skin library is not: these windows are tested as the system draws
# them.
include(${PROJECT_SOURCE_DIR}/testing/programs/program_tests.cmake)
function(burner_windows_test name)
  quorbel_add_gtest(${name} WINDOWS_ONLY GUI TIMEOUT 300 SOURCES ${ARGN}
    LIBS quorbel_burner_res quorbel_burner_app quorbel_gui_test quorbel_discimage_test_support
      quorbel_program_test_support)
  if(NOT TARGET ${name})
    return()
  endif()
  quorbel_test_in_own_folder(${name} standin_muxtools standin_cdscribe standin_dvdscribe standin_dvdauthor)
  quorbel_test_fixtures(${name} mpeg_fixtures es_fixtures)
endfunction()

burner_windows_test(burner_app_test ${_bu}/tests/burner_app_test.cpp)
if(EXISTS ${_bu}/tests/burner_main_test.cpp)
  burner_windows_test(burner_main_test ${_bu}/tests/burner_main_test.cpp)
endif()
if(EXISTS ${_bu}/tests/burner_burn_test.cpp)
  burner_windows_test(burner_burn_test ${_bu}/tests/burner_burn_test.cpp ${_bu}/tests/burner_dvd_safety_test.cpp
    ${_bu}/tests/burner_job_test.cpp)
  quorbel_test_uses_silent_author(burner_burn_test)
  quorbel_check_video_ts(burner_burn_test)
endif()

# Pelzor.exe itself in a prefix made like an installed suite.
quorbel_suite_program_test(pelzor_program Pelzor ${_bu}/tests/pelzor_program_test.cpp)
