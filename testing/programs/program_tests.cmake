# CMake helpers of the programs' Windows tests (included by the tests of
# the programs, of the application kit and of the disc job).
include_guard(GLOBAL)

# The test program finds these stand-ins (convctl, muxtools, cdscribe,
# dvdscribe, dvdauthor) by path: each is built first and named in
# QUORBEL_<NAME>_DLL.
function(quorbel_test_uses_standins target)
  if(NOT TARGET ${target})
    return()
  endif()
  foreach(standin ${ARGN})
    string(TOUPPER ${standin} upper)
    add_dependencies(${target} standin_${standin})
    target_compile_definitions(${target} PRIVATE QUORBEL_${upper}_DLL="$<TARGET_FILE:standin_${standin}>")
  endforeach()
endfunction()

# The test program loads SilentAuthor (an authoring library that returns a
# failure without posting its end) from QUORBEL_SILENT_AUTHOR_DLL.
function(quorbel_test_uses_silent_author target)
  if(NOT TARGET ${target})
    return()
  endif()
  add_dependencies(${target} test_silent_author)
  target_compile_definitions(${target} PRIVATE QUORBEL_SILENT_AUTHOR_DLL="$<TARGET_FILE:test_silent_author>")
endfunction()

# The test program gets a folder of its own, as an installed program has,
# with these stand-ins (target names; standin_dvdauthor only where it is
# built) beside it, where the code under test loads them by name.
function(quorbel_test_in_own_folder target)
  if(NOT TARGET ${target})
    return()
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
  set(beside ${ARGN})
  if(NOT TARGET standin_dvdauthor)
    list(REMOVE_ITEM beside standin_dvdauthor)
  endif()
  # Copied whenever a stand-in is built anew, not only when the test is.
  set(copies "")
  foreach(dll ${beside})
    get_target_property(name ${dll} OUTPUT_NAME)
    set(copy ${dir}/${name}${CMAKE_SHARED_LIBRARY_SUFFIX})
    add_custom_command(OUTPUT ${copy} DEPENDS ${dll}
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${dll}> ${copy})
    list(APPEND copies ${copy})
  endforeach()
  add_custom_target(${target}_standins DEPENDS ${copies})
  add_dependencies(${target} ${target}_standins)
endfunction()

# A program of the suite itself in a prefix made like an installed suite:
# the driver <name>_driver is built from the source as a test program, and
# the test <name>_test runs it through scripts/run-program-test.sh under
# that prefix (run in the ordinary test prefix the driver finds no
# installed program and skips).
function(quorbel_suite_program_test name program source)
  quorbel_add_gtest(${name}_driver WINDOWS_ONLY SOURCES ${source} LIBS quorbel_gui_test quorbel_program_test_support)
  if(NOT TARGET ${name}_driver)
    return()
  endif()
  add_dependencies(${name}_driver ${program} quorbel_standins)
  quorbel_add_program_test(${name}_test TIMEOUT 300 LABELS gui
    COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/run-program-test.sh ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}
            ${CMAKE_BINARY_DIR}/testwork/${name}_test/prefix $<TARGET_FILE:${name}_driver>)
  quorbel_test_fixtures(${name}_test mpeg_fixtures)
endfunction()
