# The suite's main road in the installed-suite prefix: an MP4 and an AVI
# made by ffmpeg (and for the VCD a turned phone picture and sound with a
# hole) become a VCD image, an SVCD image and a VIDEO_TS in
# Vantrel and disc MPEG files in Skarven; readers of their own check them
# natively afterwards. Vantrel's folder holds it: it walks Vantrel's
# road first, and the conversion control's fixtures are made before.
set(_st ${CMAKE_CURRENT_LIST_DIR})
include(${PROJECT_SOURCE_DIR}/testing/programs/program_tests.cmake)
quorbel_suite_program_test(vantrel_suite_jobs Vantrel ${_st}/suite_jobs_test.cpp)
if(TARGET vantrel_suite_jobs_driver)
  add_dependencies(vantrel_suite_jobs_driver Skarven VeneerKit)
endif()
if(TEST vantrel_suite_jobs_test)
  set_tests_properties(vantrel_suite_jobs_test PROPERTIES TIMEOUT 900)
  quorbel_test_fixtures(vantrel_suite_jobs_test convctl_fixtures convctl_kinds)
  quorbel_check_outputs(vantrel_suite_jobs_test vantrel_suite_jobs_outputs VARIABLE QUORBEL_SUITE_JOBS_OUT
    SCRIPT ${_st}/check-suite-jobs.sh)
  quorbel_check_video_ts(vantrel_suite_jobs_test)
endif()
