# The launcher's windows under Wine: in this process with the skin library
# started on the program's own resources, and Quorbel.exe started as a
# program whose buttons start stand-in programs from its folder.
add_executable(launcher_program_standin WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/tests/program_standin.cpp)

quorbel_add_gtest(launcher_windows_test WINDOWS_ONLY GUI TIMEOUT 240
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/launcher_windows_test.cpp ${QUORBEL_LAUNCHER_RC}
  LIBS quorbel_launcher_ui quorbel_skin quorbel_gui_test quorbel_discimage_test_support quorbel_program_test_support)
if(TARGET launcher_windows_test)
  add_dependencies(launcher_windows_test quorbel_launcher_art Quorbel launcher_program_standin)
  target_compile_definitions(launcher_windows_test PRIVATE
    QUORBEL_QUORBEL_EXE="$<TARGET_FILE:Quorbel>"
    QUORBEL_PROGRAM_STANDIN="$<TARGET_FILE:launcher_program_standin>")
  # The real converter of this tree, started by the launcher's button.
  if(TARGET Skarven)
    add_dependencies(launcher_windows_test Skarven VeneerKit quorbel_standins)
    target_compile_definitions(launcher_windows_test PRIVATE
      QUORBEL_SKARVEN_EXE="$<TARGET_FILE:Skarven>"
      QUORBEL_VENEERKIT_DLL="$<TARGET_FILE:VeneerKit>"
      QUORBEL_STANDINS_DIR="$<TARGET_FILE_DIR:standin_muxtools>")
  endif()
endif()

# `make run` twice in a row (its prefix in the build tree), each run's
# screenshot checked.
add_test(NAME launcher_run_suite_twice
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/check-run-suite.sh ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR})
set_tests_properties(launcher_run_suite_twice PROPERTIES TIMEOUT 400 LABELS "wine;prefix")
