# The skinners of the bar-like controls: tabs, tool bars, status bars,
# rebars, headers and MFC control bars (included by
# skin/skinners/CMakeLists.txt).
set(_dir ${CMAKE_CURRENT_LIST_DIR})

# Tab geometry (tested natively).
add_library(quorbel_skin_bar_geometry STATIC ${_dir}/skin_tab_geometry.cpp)
target_include_directories(quorbel_skin_bar_geometry PUBLIC ${PROJECT_SOURCE_DIR})
quorbel_add_gtest(skin_tab_geometry_test
  SOURCES ${_dir}/tests/skin_tab_geometry_test.cpp LIBS quorbel_skin_bar_geometry)

if(QUORBEL_WINDOWS)
  target_link_libraries(quorbel_skin PUBLIC quorbel_skin_bar_geometry)
  target_sources(quorbel_skin PRIVATE
    ${_dir}/skin_tab.cpp
    ${_dir}/skin_toolbar.cpp
    ${_dir}/skin_statusbar.cpp
    ${_dir}/skin_rebar.cpp
    ${_dir}/skin_header.cpp
    ${_dir}/skin_controlbar.cpp)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  quorbel_add_skinner_gui_tests(skin_tab_test skin_toolbar_test)
endif()
