# Image layout, the VideoCD information files and the sector writer, with
# their tests (unit, end to end through zrdiscbuild and the system's disc
# readers) and the build benchmark. Included from discimage/CMakeLists.txt.
set(_layout_dir ${CMAKE_CURRENT_LIST_DIR})

target_sources(quorbel_discimage PRIVATE
  ${_layout_dir}/vcd_info_files.cpp
  ${_layout_dir}/vcd_info_files_psd.cpp
  ${_layout_dir}/vcd_info_files_svcd.cpp
  ${_layout_dir}/vcd_write_edc.cpp
  ${_layout_dir}/vcd_write_image.cpp
  ${_layout_dir}/vcd_write_mpeg.cpp)

# Layout and information files on projects with synthetic stream information.
quorbel_add_gtest(discimage_layout_project_test
  SOURCES ${_layout_dir}/tests/layout_project_test.cpp LIBS quorbel_discimage)
