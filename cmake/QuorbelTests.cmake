# quorbel_add_gtest(<name> SOURCES ... [LIBS ...] [WINDOWS_ONLY] [NATIVE_ONLY]
#                   [OWN_MAIN] [LABELS ...] [TIMEOUT s] [GUI])
#
# One GoogleTest executable, registered as one CTest test. Windows tests run
# from the x86_64 build under wine64 (CMAKE_CROSSCOMPILING_EMULATOR); the i686
# build only compiles and links them. The test's working directory is its own
# scratch folder under the build tree. Tests get QUORBEL_SOURCE_DIR so they can
# find fixtures and scripts.
function(quorbel_add_gtest name)
  cmake_parse_arguments(T "WINDOWS_ONLY;NATIVE_ONLY;OWN_MAIN;GUI" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(T_WINDOWS_ONLY AND NOT QUORBEL_WINDOWS)
    return()
  endif()
  if(T_NATIVE_ONLY AND QUORBEL_WINDOWS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  if(QUORBEL_FUZZ)
    # The fuzz tree builds fuzz targets only; the test target exists so that
    # folders can still refer to it.
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
  if(T_OWN_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} quorbel_gtest)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} quorbel_gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE QUORBEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(NOT QUORBEL_FUZZ)
    quorbel_test_build_options(${name} ${T_WINDOWS_ONLY})
  endif()
  if(NOT QUORBEL_RUNS_TESTS OR QUORBEL_FUZZ)
    return()
  endif()
  set(work ${CMAKE_BINARY_DIR}/testwork/${name})
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${work})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(labels ${T_LABELS})
  if(T_GUI)
    list(APPEND labels gui)
  endif()
  quorbel_program_test_properties(${name} ${T_TIMEOUT} ${labels})
endfunction()

# A test's own sources are compiled with -O1 and reuse one precompiled
# GoogleTest header (with windows.h for the tests that run only on Windows):
# parsing and optimising GoogleTest's templates is most of a test's compile
# time, and on a small machine most of the build's. The code under test
# keeps its tree's optimisation.
function(quorbel_test_build_options name windows_only)
  set(headers <gtest/gtest.h> <gmock/gmock.h> <string> <vector> <memory> <functional>)
  if(windows_only)
    set(pch quorbel_windows_test_pch)
    list(PREPEND headers <windows.h>)
  else()
    set(pch quorbel_test_pch)
  endif()
  if(NOT TARGET ${pch})
    add_library(${pch} STATIC ${PROJECT_SOURCE_DIR}/testing/pch.cpp)
    target_link_libraries(${pch} PRIVATE quorbel_gtest)
    target_compile_options(${pch} PRIVATE -O1)
    # Made as the tests are: executables, not position-independent objects.
    set_target_properties(${pch} PROPERTIES POSITION_INDEPENDENT_CODE OFF)
    set(cxx_headers)
    foreach(header ${headers})
      list(APPEND cxx_headers "$<$<COMPILE_LANGUAGE:CXX>:${header}>")
    endforeach()
    target_precompile_headers(${pch} PRIVATE ${cxx_headers})
  endif()
  target_compile_options(${name} PRIVATE -O1)
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE OFF)
  target_precompile_headers(${name} REUSE_FROM ${pch})
endfunction()

# quorbel_add_program_test(<name> COMMAND ... [TIMEOUT s] [LABELS ...])
#
# A test that runs programs of this build through a plain add_test (a CMake
# or shell script in front of them): labelled and set up as the GoogleTest
# executables are, the Windows programs under Wine with this build's prefix.
function(quorbel_add_program_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "COMMAND;LABELS" ${ARGN})
  if(NOT QUORBEL_RUNS_TESTS OR QUORBEL_FUZZ)
    return()
  endif()
  add_test(NAME ${name} COMMAND ${T_COMMAND})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  quorbel_program_test_properties(${name} ${T_TIMEOUT} ${T_LABELS})
endfunction()

# What every test of this build's programs has: its labels (with wine or
# native), its timeout, the Wine prefix and build folder in its environment,
# and under Wine, when it opens windows (label gui), its turn on the shared
# X screen.
function(quorbel_program_test_properties name timeout)
  set(labels ${ARGN})
  if(QUORBEL_WINDOWS)
    # Tests that open windows take turns on the X screen; the others run
    # beside them (one wineserver serves all).
    if(gui IN_LIST labels)
      quorbel_takes_display(${name})
    endif()
    list(APPEND labels wine)
  else()
    list(APPEND labels native)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout} LABELS "${labels}"
    ENVIRONMENT "QUORBEL_DEFAULT_PREFIX=${CMAKE_BINARY_DIR}/wineprefix;QUORBEL_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# quorbel_add_fixture(<name> VARIABLE <environment variable> FOLDER <folder>
#                     COMMAND ...)
#
# Test input made once per run into <folder> by a command on the host (a
# script: no emulator in front of it), as the CTest fixture <name>. Tests
# that need it say so with quorbel_test_fixtures.
function(quorbel_add_fixture name)
  cmake_parse_arguments(F "" "VARIABLE;FOLDER" "COMMAND" ${ARGN})
  set_property(GLOBAL PROPERTY QUORBEL_FIXTURE_${name} "${F_VARIABLE}=${F_FOLDER}")
  if(NOT QUORBEL_RUNS_TESTS OR QUORBEL_FUZZ)
    return()
  endif()
  # Made once for both trees of a test run (scripts/shared-fixture.sh); the
  # timeout leaves room to wait for the other tree making it.
  add_test(NAME ${name} COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/shared-fixture.sh ${name} ${F_FOLDER} ${F_COMMAND})
  set_tests_properties(${name} PROPERTIES FIXTURES_SETUP ${name} TIMEOUT 600 LABELS fixtures)
endfunction()

# quorbel_test_fixtures(<test> <fixture>...)
#
# The test runs after the fixtures are made and finds each one's folder in
# its environment. Nothing when the test does not exist in this build.
function(quorbel_test_fixtures test)
  if(NOT TEST ${test})
    return()
  endif()
  foreach(fixture ${ARGN})
    get_property(setting GLOBAL PROPERTY QUORBEL_FIXTURE_${fixture})
    if(NOT setting)
      message(FATAL_ERROR "${test}: no fixture ${fixture} (quorbel_add_fixture comes first)")
    endif()
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "${setting}")
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED ${fixture})
  endforeach()
endfunction()

# quorbel_check_outputs(<test> <check> VARIABLE <environment variable>
#                       SCRIPT <script> [ARGS ...])
#
# The test (under Wine) writes its outputs into a folder it finds in its
# environment; afterwards the test <check> runs the shell script on that
# folder natively, where ffprobe and ffmpeg are (the ARGS before it).
function(quorbel_check_outputs test check)
  cmake_parse_arguments(C "" "VARIABLE;SCRIPT" "ARGS" ${ARGN})
  if(NOT TEST ${test})
    return()
  endif()
  set(folder ${CMAKE_BINARY_DIR}/testwork/${check})
  file(MAKE_DIRECTORY ${folder})
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${C_VARIABLE}=${folder})
  set_property(TEST ${test} APPEND PROPERTY FIXTURES_SETUP ${check}_outputs)
  add_test(NAME ${check} COMMAND sh ${C_SCRIPT} ${C_ARGS} ${folder})
  set_tests_properties(${check} PROPERTIES FIXTURES_REQUIRED ${check}_outputs LABELS wine TIMEOUT 120)
endfunction()

# quorbel_check_video_ts(<test>)
#
# The VIDEO_TS folders that the test authors under Wine are handed over
# (CheckVideoTs, standins/tests/video_ts_check.h); afterwards the test
# <test>_video_ts reads each one natively with lsdvd and ffprobe
# (scripts/lib/check-video-ts.sh).
function(quorbel_check_video_ts test)
  quorbel_check_outputs(${test} ${test}_video_ts VARIABLE QUORBEL_VIDEO_TS_OUT
    SCRIPT ${PROJECT_SOURCE_DIR}/scripts/lib/check-video-ts.sh ARGS --handed)
endfunction()

# All Windows programs of a test run share one X screen, where windows of
# tests running side by side would overlap and take focus from each other.
# Tests that run Windows programs take turns; quorbel_add_gtest does this for
# its own, tests added with a plain add_test that start wine call this.
function(quorbel_takes_display)
  set_tests_properties(${ARGN} PROPERTIES RESOURCE_LOCK x_display)
endfunction()
