# Playback control lists (PSD descriptors, list offsets, reachability) and
# the VideoCD XML project reader with its DTD. Included from
# discimage/CMakeLists.txt.
set(_pbcxml_dir ${CMAKE_CURRENT_LIST_DIR})

target_sources(quorbel_discimage PRIVATE
  ${_pbcxml_dir}/vcd_pbc.cpp
  ${_pbcxml_dir}/vcd_pbc_play.cpp
  ${_pbcxml_dir}/vcd_pbc_select.cpp
  ${_pbcxml_dir}/vcd_pbc_end.cpp
  ${_pbcxml_dir}/vcd_xml_data.cpp
  ${_pbcxml_dir}/vcd_xml_dtd.cpp
  ${_pbcxml_dir}/vcd_xml_reader.cpp)

# Descriptor bytes, wait codes, offsets, reachability and refused references.
quorbel_add_gtest(discimage_pbcxml_pbc_test
  SOURCES ${_pbcxml_dir}/tests/pbcxml_pbc_test.cpp LIBS quorbel_discimage)

# Valid projects of each type, refused documents, refused external entities.
quorbel_add_gtest(discimage_pbcxml_xml_test
  SOURCES ${_pbcxml_dir}/tests/pbcxml_xml_test.cpp LIBS quorbel_discimage_test_support)
