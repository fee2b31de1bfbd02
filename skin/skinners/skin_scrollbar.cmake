# The skinned scroll bars with their redirection, the popup menu window and
# the tooltip window (included by CMakeLists.txt, which sets _sk and
# _skin_rc).

# Their pure geometry (tested natively).
add_library(quorbel_skin_scrollbar_geometry STATIC
  ${_sk}/skin_scrollbar_geometry.cpp
  ${_sk}/skin_popup_menu_geometry.cpp
  ${_sk}/skin_tooltip_geometry.cpp)
target_include_directories(quorbel_skin_scrollbar_geometry PUBLIC ${PROJECT_SOURCE_DIR})
foreach(_t skin_scrollbar_geometry_test skin_popup_menu_geometry_test skin_tooltip_geometry_test)
  quorbel_add_gtest(${_t} SOURCES ${_sk}/tests/${_t}.cpp LIBS quorbel_skin_scrollbar_geometry)
endforeach()

if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin PRIVATE
    ${_sk}/skin_scrollbar_geometry.cpp
    ${_sk}/skin_scrollbar.cpp
    ${_sk}/skin_redirect.cpp
    ${_sk}/skin_popup_menu_geometry.cpp
    ${_sk}/skin_popup_menu.cpp
    ${_sk}/skin_popup_menu_frame.cpp
    ${_sk}/skin_tooltip_geometry.cpp
    ${_sk}/skin_tooltip.cpp)
  # The tooltip draws its text with the rich-text renderer.
  target_link_libraries(quorbel_skin PUBLIC quorbel_skin_richtext)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  quorbel_add_skinner_gui_tests(skin_scrollbar_test skin_redirect_test skin_popup_menu_test skin_tooltip_test)
endif()
