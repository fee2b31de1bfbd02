# The skinned scroll bars with their redirection, the popup menu window and
# the tooltip window (included by CMakeLists.txt, which sets _sk and
# _skin_rc).

# Their pure geometry (tested natively).
add_library(quorbel_skin_scrollbar_geometry STATIC ${_sk}/skin_scrollbar_geometry.cpp)
target_include_directories(quorbel_skin_scrollbar_geometry PUBLIC ${PROJECT_SOURCE_DIR})
quorbel_add_gtest(skin_scrollbar_geometry_test
  SOURCES ${_sk}/tests/skin_scrollbar_geometry_test.cpp
  LIBS quorbel_skin_scrollbar_geometry)

if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin PRIVATE
    ${_sk}/skin_scrollbar_geometry.cpp
    ${_sk}/skin_scrollbar.cpp
    ${_sk}/skin_redirect.cpp)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  foreach(_t skin_scrollbar_test skin_redirect_test)
    quorbel_add_gtest(${_t} WINDOWS_ONLY GUI
      SOURCES ${_sk}/tests/${_t}.cpp ${_skin_rc}
      LIBS quorbel_skin quorbel_gui_test)
    add_dependencies(${_t} quorbel_skins)
  endforeach()
endif()
