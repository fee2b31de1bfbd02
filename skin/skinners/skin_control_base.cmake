# The control skinners (bases, buttons, edits and lists, range controls):
# included by skin/skinners/CMakeLists.txt, with its _sk and _skin_rc.
if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin PRIVATE
    ${_sk}/skin_control_base.cpp)
endif()

if(QUORBEL_WINDOWS AND QUORBEL_SKINC)
  quorbel_add_gtest(skin_control_base_test WINDOWS_ONLY GUI
    SOURCES ${_sk}/tests/skin_control_base_test.cpp ${_skin_rc}
    LIBS quorbel_skin quorbel_gui_test)
  add_dependencies(skin_control_base_test quorbel_skins)
endif()
