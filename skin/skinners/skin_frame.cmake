# The frame, menu bar and shaped-window skinners (included by
# CMakeLists.txt, which sets _sk and _skin_rc).

# Menu bar geometry (tested natively).
add_library(quorbel_skin_menubar_geometry STATIC ${_sk}/skin_menubar_geometry.cpp)
target_include_directories(quorbel_skin_menubar_geometry PUBLIC ${PROJECT_SOURCE_DIR})

quorbel_add_gtest(skin_menubar_geometry_test
  SOURCES ${_sk}/tests/skin_menubar_geometry_test.cpp
  LIBS quorbel_skin_menubar_geometry)

if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin PRIVATE
    ${_sk}/skin_menubar_geometry.cpp
    ${_sk}/skin_monitor.cpp
    ${_sk}/skin_menu_model.cpp
    ${_sk}/skin_menubar.cpp
    ${_sk}/skin_frame.cpp
    ${_sk}/skin_shaped.cpp)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  foreach(_t skin_frame_test skin_shaped_test)
    quorbel_add_gtest(${_t} WINDOWS_ONLY GUI
      SOURCES ${_sk}/tests/${_t}.cpp ${_skin_rc}
      LIBS quorbel_skin quorbel_gui_test)
    add_dependencies(${_t} quorbel_skins)
  endforeach()
endif()
