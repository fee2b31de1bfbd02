# The control skinners (bases, buttons, edits and lists, range controls,
# statics and links, animation, date and calendar): included by
# skin/skinners/CMakeLists.txt.
set(_dir ${CMAKE_CURRENT_LIST_DIR})

# Their pure geometry and rules (tested natively).
add_library(quorbel_skin_control_geometry STATIC
  ${_dir}/skin_control_base_geometry.cpp
  ${_dir}/skin_static_geometry.cpp
  ${_dir}/skin_animate_geometry.cpp)
target_include_directories(quorbel_skin_control_geometry PUBLIC ${PROJECT_SOURCE_DIR})
# MulDiv as the skinned scroll bars round it.
target_link_libraries(quorbel_skin_control_geometry PUBLIC quorbel_skin_scrollbar_geometry)
foreach(_t skin_control_base_geometry_test skin_static_geometry_test skin_animate_geometry_test)
  quorbel_add_gtest(${_t} SOURCES ${_dir}/tests/${_t}.cpp LIBS quorbel_skin_control_geometry)
endforeach()

if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin PRIVATE
    ${_dir}/skin_control_base.cpp
    ${_dir}/skin_button.cpp
    ${_dir}/skin_edit.cpp
    ${_dir}/skin_listbox.cpp
    ${_dir}/skin_combo.cpp
    ${_dir}/skin_view.cpp
    ${_dir}/skin_scrollctl.cpp
    ${_dir}/skin_progress.cpp
    ${_dir}/skin_slider.cpp
    ${_dir}/skin_spin.cpp
    ${_dir}/skin_static.cpp
    ${_dir}/skin_link.cpp
    ${_dir}/skin_animate.cpp
    ${_dir}/skin_datetime.cpp
    ${_dir}/skin_calendar.cpp)
  target_link_libraries(quorbel_skin PUBLIC quorbel_skin_control_geometry)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  quorbel_add_skinner_gui_tests(skin_control_base_test skin_button_test skin_edit_test skin_combo_test
                                skin_view_test skin_scrollctl_test skin_progress_test skin_slider_test
                                skin_spin_test skin_static_test skin_datetime_test skin_animate_test)
  # Skinners that must not touch themselves once deleted.
  foreach(_t skin_datetime_test skin_scrollctl_test skin_combo_test skin_animate_test)
    target_sources(${_t} PRIVATE ${_sk}/tests/freed_object_trap.cpp)
  endforeach()
endif()

# A 5-frame 32 x 24 raw-video clip made by ffmpeg on the host for the
# animation tests, which find its folder in QUORBEL_ANIMATE_FIXTURES.
set(QUORBEL_ANIMATE_FIXTURES ${CMAKE_BINARY_DIR}/fixtures/animate)
quorbel_add_fixture(animate_fixtures VARIABLE QUORBEL_ANIMATE_FIXTURES FOLDER ${QUORBEL_ANIMATE_FIXTURES}
  COMMAND sh -c "mkdir -p '${QUORBEL_ANIMATE_FIXTURES}' && ffmpeg -y -loglevel error -f lavfi -i testsrc=size=32x24:rate=10 -frames:v 5 -c:v rawvideo -pix_fmt bgr24 '${QUORBEL_ANIMATE_FIXTURES}/clip.avi'")
quorbel_test_fixtures(skin_animate_test animate_fixtures)
