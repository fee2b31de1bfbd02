# The project model of the image builder: the object base, sequences with
# entries and pauses, segment items, the file dictionary and the project
# object itself. Included from discimage/CMakeLists.txt.
set(_project_dir ${CMAKE_CURRENT_LIST_DIR})

target_sources(quorbel_discimage PRIVATE
  ${_project_dir}/vcd_object.cpp
  ${_project_dir}/vcd_sequence.cpp
  ${_project_dir}/vcd_segment.cpp
  ${_project_dir}/vcd_dict.cpp
  ${_project_dir}/vcd_project.cpp
  ${_project_dir}/vcd_project_layout.cpp)

# The model without MPEG files: synthetic stream information stands in for
# scans, so that limits of hundreds of items cost nothing.
quorbel_add_gtest(discimage_object_test
  SOURCES ${_project_dir}/tests/object_test.cpp LIBS quorbel_discimage)

quorbel_add_gtest(discimage_project_model_test
  SOURCES ${_project_dir}/tests/project_model_test.cpp LIBS quorbel_discimage_test_support)

# Adding real MPEG files (the ffmpeg fixtures) to projects of each type.
quorbel_add_gtest(discimage_project_mpeg_test
  SOURCES ${_project_dir}/tests/project_mpeg_test.cpp LIBS quorbel_discimage)
quorbel_test_fixtures(discimage_project_mpeg_test mpeg_fixtures)
