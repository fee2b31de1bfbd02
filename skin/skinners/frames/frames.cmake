# The frame, skinned dialog and shaped-window skinners with the caption
# elements and the menu bar they draw (included by
# skin/skinners/CMakeLists.txt).
set(_dir ${CMAKE_CURRENT_LIST_DIR})

# Menu bar geometry (tested natively).
add_library(quorbel_skin_menubar_geometry STATIC ${_dir}/skin_menubar_geometry.cpp)
target_include_directories(quorbel_skin_menubar_geometry PUBLIC ${PROJECT_SOURCE_DIR})

quorbel_add_gtest(skin_menubar_geometry_test
  SOURCES ${_dir}/tests/skin_menubar_geometry_test.cpp
  LIBS quorbel_skin_menubar_geometry)

if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin PRIVATE
    ${_dir}/skin_menubar_geometry.cpp
    ${_dir}/skin_menubar.cpp
    ${_dir}/skin_caption_button.cpp
    ${_dir}/skin_elements.cpp
    ${_dir}/skin_frame.cpp
    ${_dir}/skin_named_window.cpp
    ${_dir}/skin_shaped.cpp)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  quorbel_add_skinner_gui_tests(skin_frame_test skin_named_window_test skin_shaped_test skin_elements_test)
  # Skinners that must not touch themselves once deleted.
  foreach(_t skin_frame_test skin_named_window_test skin_elements_test)
    target_sources(${_t} PRIVATE ${_sk}/tests/freed_object_trap.cpp)
  endforeach()
endif()
# What keyed tiles cost a frame's region and its hit tests; reports times.
if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  quorbel_add_gtest(skin_region_bench WINDOWS_ONLY GUI LABELS bench
    SOURCES ${_dir}/tests/skin_region_bench.cpp ${_skin_rc}
    LIBS quorbel_skin quorbel_gui_test)
  add_dependencies(skin_region_bench quorbel_skins)
endif()
