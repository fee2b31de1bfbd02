# The library's own popup windows - the popup menu window and the tooltip -
# with the frame they share (included by skin/skinners/CMakeLists.txt).
set(_dir ${CMAKE_CURRENT_LIST_DIR})

# Their pure geometry (tested natively).
add_library(quorbel_skin_popup_geometry STATIC
  ${_dir}/skin_popup_menu_geometry.cpp
  ${_dir}/skin_tooltip_geometry.cpp)
target_include_directories(quorbel_skin_popup_geometry PUBLIC ${PROJECT_SOURCE_DIR})
foreach(_t skin_popup_menu_geometry_test skin_tooltip_geometry_test)
  quorbel_add_gtest(${_t} SOURCES ${_dir}/tests/${_t}.cpp LIBS quorbel_skin_popup_geometry)
endforeach()

if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin PRIVATE
    ${_dir}/skin_popup_menu_geometry.cpp
    ${_dir}/skin_menu_model.cpp
    ${_dir}/skin_popup_menu.cpp
    ${_dir}/skin_popup_menu_frame.cpp
    ${_dir}/skin_tooltip_geometry.cpp
    ${_dir}/skin_tooltip.cpp)
  # The tooltip draws its text with the rich-text renderer.
  target_link_libraries(quorbel_skin PUBLIC quorbel_skin_richtext)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  quorbel_add_skinner_gui_tests(skin_popup_menu_test skin_tooltip_test)
endif()
