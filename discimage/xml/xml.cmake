# The VideoCD XML project reader with its DTD.
target_sources(quorbel_discimage PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/vcd_xml_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_xml_dtd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_xml_reader.cpp)

# Valid projects of each type, refused documents, refused external entities.
quorbel_add_gtest(discimage_pbcxml_xml_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/pbcxml_xml_test.cpp LIBS quorbel_discimage_test_support)
