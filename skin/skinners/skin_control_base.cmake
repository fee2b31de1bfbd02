# The control skinners (bases, buttons, edits and lists, range controls):
# included by skin/skinners/CMakeLists.txt, with its _sk and _skin_rc.

# Their pure geometry (tested natively).
add_library(quorbel_skin_control_geometry STATIC ${_sk}/skin_control_base_geometry.cpp)
target_include_directories(quorbel_skin_control_geometry PUBLIC ${PROJECT_SOURCE_DIR})
# MulDiv as the skinned scroll bars round it.
target_link_libraries(quorbel_skin_control_geometry PUBLIC quorbel_skin_scrollbar_geometry)
quorbel_add_gtest(skin_control_base_geometry_test
  SOURCES ${_sk}/tests/skin_control_base_geometry_test.cpp
  LIBS quorbel_skin_control_geometry)

if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin PRIVATE
    ${_sk}/skin_control_base.cpp
    ${_sk}/skin_button.cpp
    ${_sk}/skin_edit.cpp
    ${_sk}/skin_listbox.cpp
    ${_sk}/skin_combo.cpp
    ${_sk}/skin_view.cpp
    ${_sk}/skin_scrollctl.cpp
    ${_sk}/skin_progress.cpp
    ${_sk}/skin_slider.cpp
    ${_sk}/skin_spin.cpp)
  target_link_libraries(quorbel_skin PUBLIC quorbel_skin_control_geometry)
endif()

# Skinner tests in real windows, one file each under tests/, with the test
# skin as resource 130.
function(quorbel_add_skinner_gui_tests)
  foreach(_test ${ARGN})
    quorbel_add_gtest(${_test} WINDOWS_ONLY GUI
      SOURCES ${_sk}/tests/${_test}.cpp ${_skin_rc}
      LIBS quorbel_skin quorbel_gui_test)
    add_dependencies(${_test} quorbel_skins)
  endforeach()
endfunction()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  quorbel_add_skinner_gui_tests(skin_control_base_test skin_button_test skin_edit_test skin_combo_test
                                skin_view_test skin_scrollctl_test skin_progress_test skin_slider_test
                                skin_spin_test)
endif()
