# The frame, menu bar and shaped-window skinners, and the skinners of the
# bar-like, static and calendar controls (included by CMakeLists.txt,
# which sets _sk and _skin_rc).

# Menu bar geometry (tested natively).
add_library(quorbel_skin_menubar_geometry STATIC ${_sk}/skin_menubar_geometry.cpp)
target_include_directories(quorbel_skin_menubar_geometry PUBLIC ${PROJECT_SOURCE_DIR})

quorbel_add_gtest(skin_menubar_geometry_test
  SOURCES ${_sk}/tests/skin_menubar_geometry_test.cpp
  LIBS quorbel_skin_menubar_geometry)

# Tab, static and animation rules (tested natively).
add_library(quorbel_skin_bar_geometry STATIC
  ${_sk}/skin_tab_geometry.cpp ${_sk}/skin_static_geometry.cpp ${_sk}/skin_animate_geometry.cpp)
target_include_directories(quorbel_skin_bar_geometry PUBLIC ${PROJECT_SOURCE_DIR})
foreach(_t skin_tab_geometry_test skin_static_geometry_test skin_animate_geometry_test)
  quorbel_add_gtest(${_t} SOURCES ${_sk}/tests/${_t}.cpp LIBS quorbel_skin_bar_geometry)
endforeach()

if(QUORBEL_WINDOWS)
  target_link_libraries(quorbel_skin PUBLIC quorbel_skin_bar_geometry)
  target_sources(quorbel_skin PRIVATE
    ${_sk}/skin_menubar_geometry.cpp
    ${_sk}/skin_monitor.cpp
    ${_sk}/skin_menu_model.cpp
    ${_sk}/skin_menubar.cpp
    ${_sk}/skin_caption_button.cpp
    ${_sk}/skin_elements.cpp
    ${_sk}/skin_frame.cpp
    ${_sk}/skin_shaped.cpp
    ${_sk}/skin_static.cpp
    ${_sk}/skin_link.cpp
    ${_sk}/skin_tab.cpp
    ${_sk}/skin_toolbar.cpp
    ${_sk}/skin_statusbar.cpp
    ${_sk}/skin_rebar.cpp
    ${_sk}/skin_header.cpp
    ${_sk}/skin_controlbar.cpp
    ${_sk}/skin_animate.cpp
    ${_sk}/skin_datetime.cpp
    ${_sk}/skin_calendar.cpp)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  foreach(_t skin_frame_test skin_shaped_test skin_elements_test skin_static_test skin_tab_test skin_toolbar_test
           skin_datetime_test skin_animate_test)
    quorbel_add_gtest(${_t} WINDOWS_ONLY GUI
      SOURCES ${_sk}/tests/${_t}.cpp ${_skin_rc}
      LIBS quorbel_skin quorbel_gui_test)
    add_dependencies(${_t} quorbel_skins)
  endforeach()
  # Skinners that must not touch themselves once deleted.
  target_sources(skin_datetime_test PRIVATE ${_sk}/tests/freed_object_trap.cpp)
  target_sources(skin_frame_test PRIVATE ${_sk}/tests/freed_object_trap.cpp)
endif()

# A 5-frame 32 x 24 raw-video clip made by ffmpeg on the host for the
# animation tests, which find its folder in QUORBEL_ANIMATE_FIXTURES.
set(QUORBEL_ANIMATE_FIXTURES ${CMAKE_BINARY_DIR}/fixtures/animate)
quorbel_add_fixture(animate_fixtures VARIABLE QUORBEL_ANIMATE_FIXTURES FOLDER ${QUORBEL_ANIMATE_FIXTURES}
  COMMAND sh -c "mkdir -p '${QUORBEL_ANIMATE_FIXTURES}' && ffmpeg -y -loglevel error -f lavfi -i testsrc=size=32x24:rate=10 -frames:v 5 -c:v rawvideo -pix_fmt bgr24 '${QUORBEL_ANIMATE_FIXTURES}/clip.avi'")
quorbel_test_fixtures(skin_animate_test animate_fixtures)
