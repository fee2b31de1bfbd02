# Playback control lists (PSD descriptors, list offsets, reachability).
# Included from discimage/CMakeLists.txt.
set(_pbcxml_dir ${CMAKE_CURRENT_LIST_DIR})

target_sources(quorbel_discimage PRIVATE
  ${_pbcxml_dir}/vcd_pbc.cpp
  ${_pbcxml_dir}/vcd_pbc_play.cpp
  ${_pbcxml_dir}/vcd_pbc_select.cpp
  ${_pbcxml_dir}/vcd_pbc_end.cpp)

# Descriptor bytes, wait codes, offsets, reachability and refused references.
quorbel_add_gtest(discimage_pbcxml_pbc_test
  SOURCES ${_pbcxml_dir}/tests/pbcxml_pbc_test.cpp LIBS quorbel_discimage)
