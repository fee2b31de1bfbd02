# The builder's run: the front end that reads a project and builds
# it, the runner, the guard against overlapping builds; and on Windows the
# entry point BuildVcdImage.
set(_run_dir ${CMAKE_CURRENT_LIST_DIR})
target_sources(quorbel_discimage PRIVATE
  ${_run_dir}/vcd_frontend.cpp
  ${_run_dir}/vcd_runner.cpp
  ${_run_dir}/vcd_guard.cpp)

if(QUORBEL_WINDOWS)
  add_library(quorbel_discimage_entry STATIC ${_run_dir}/build_vcd_image.cpp)
  target_link_libraries(quorbel_discimage_entry PUBLIC quorbel_discimage user32)

  add_library(quorbel_discimage_dll SHARED ${_run_dir}/build_vcd_image.cpp)
  target_compile_definitions(quorbel_discimage_dll PRIVATE QUORBEL_DISCIMAGE_DLL)
  target_link_libraries(quorbel_discimage_dll PRIVATE quorbel_discimage user32)
  set_target_properties(quorbel_discimage_dll PROPERTIES
    OUTPUT_NAME zrDiscImage PREFIX "" IMPORT_PREFIX "lib")
endif()

quorbel_add_gtest(discimage_messages_test
  SOURCES ${_run_dir}/tests/messages_test.cpp LIBS quorbel_discimage)
quorbel_add_gtest(discimage_frontend_test
  SOURCES ${_run_dir}/tests/frontend_test.cpp LIBS quorbel_discimage_test_support)
quorbel_add_gtest(discimage_guard_test
  SOURCES ${_run_dir}/tests/guard_test.cpp LIBS quorbel_discimage_test_support)
quorbel_test_fixtures(discimage_guard_test mpeg_fixtures)
quorbel_add_gtest(discimage_entry_test
  SOURCES ${_run_dir}/tests/entry_test.cpp LIBS quorbel_discimage_entry quorbel_gui_test
  WINDOWS_ONLY GUI)
if(TARGET discimage_entry_test)
  target_compile_definitions(discimage_entry_test PRIVATE
    QUORBEL_DISCIMAGE_DLL_PATH="$<TARGET_FILE:quorbel_discimage_dll>")
  add_dependencies(discimage_entry_test quorbel_discimage_dll)
endif()
