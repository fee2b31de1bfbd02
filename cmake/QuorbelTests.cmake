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
  if(QUORBEL_WINDOWS)
    list(APPEND labels wine)
  else()
    list(APPEND labels native)
  endif()
  if(T_GUI)
    list(APPEND labels gui)
  endif()
  if(QUORBEL_WINDOWS)
    # All Windows tests share one X screen, where windows of tests running
    # side by side would overlap and steal focus from each other; they are
    # short, so they take turns.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK x_display)
  endif()
  if(QUORBEL_WINDOWS)
    quorbel_takes_display(${name})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${labels}"
    ENVIRONMENT "QUORBEL_DEFAULT_PREFIX=${CMAKE_BINARY_DIR}/wineprefix;QUORBEL_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# All Windows programs of a test run share one X screen, where windows of
# tests running side by side would overlap and take focus from each other.
# Tests that run Windows programs take turns; quorbel_add_gtest does this for
# its own, tests added with a plain add_test that start wine call this.
function(quorbel_takes_display)
  set_tests_properties(${ARGN} PROPERTIES RESOURCE_LOCK x_display)
endfunction()
