# ISO 9660 structures, the directory tree and the sector bitmap of the image
# builder.
target_sources(quorbel_discimage PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/iso9660_fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/iso9660_directory_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/iso9660_path_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/iso9660_names.cpp
  ${CMAKE_CURRENT_LIST_DIR}/iso9660_volume.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_sector_bitmap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_directory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_custom_file.cpp)

quorbel_add_gtest(discimage_iso_structures_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/iso_structures_test.cpp
  LIBS quorbel_discimage)
quorbel_add_gtest(discimage_iso_allocation_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/iso_allocation_test.cpp
  LIBS quorbel_discimage)
quorbel_add_gtest(discimage_iso_directory_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/iso_directory_test.cpp
  LIBS quorbel_discimage_test_support)
# Reads an image made with these structures back with the system's ISO 9660
# readers; they exist on the Linux side only.
quorbel_add_gtest(discimage_iso_reader_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/iso_reader_test.cpp
  LIBS quorbel_discimage_test_support NATIVE_ONLY)
