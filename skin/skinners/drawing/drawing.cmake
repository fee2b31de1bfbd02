# The drawing base every painter of the skin library shares (included by
# skin/skinners/CMakeLists.txt, which sets _skin_rc).
set(_dir ${CMAKE_CURRENT_LIST_DIR})

# Pure geometry of the drawing utilities (tested natively).
add_library(quorbel_skin_draw_geometry STATIC ${_dir}/skin_draw_geometry.cpp)
target_include_directories(quorbel_skin_draw_geometry PUBLIC ${PROJECT_SOURCE_DIR})

quorbel_add_gtest(skin_draw_geometry_test
  SOURCES ${_dir}/tests/skin_draw_geometry_test.cpp
  LIBS quorbel_skin_draw_geometry)

if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin PRIVATE
    ${_dir}/skin_gdi_util.cpp
    ${_dir}/skin_monitor.cpp)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  quorbel_add_skinner_gui_tests(skin_gdi_util_test)
endif()
