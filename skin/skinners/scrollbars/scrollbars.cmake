# The skinned scroll bars with their redirection (included by
# skin/skinners/CMakeLists.txt).
set(_dir ${CMAKE_CURRENT_LIST_DIR})

# Their pure geometry (tested natively).
add_library(quorbel_skin_scrollbar_geometry STATIC ${_dir}/skin_scrollbar_geometry.cpp)
target_include_directories(quorbel_skin_scrollbar_geometry PUBLIC ${PROJECT_SOURCE_DIR})
quorbel_add_gtest(skin_scrollbar_geometry_test
  SOURCES ${_dir}/tests/skin_scrollbar_geometry_test.cpp LIBS quorbel_skin_scrollbar_geometry)

if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin PRIVATE
    ${_dir}/skin_scrollbar_geometry.cpp
    ${_dir}/skin_scrollbar.cpp
    ${_dir}/skin_redirect.cpp)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  quorbel_add_skinner_gui_tests(skin_scrollbar_test skin_redirect_test)
endif()
