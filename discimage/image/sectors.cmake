# CD-ROM XA sector encoder and the disc image sinks (cue/bin, toc/img, nrg).
target_sources(quorbel_discimage PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/vcd_sector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_image_sink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_image_sink_bincue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_image_sink_cdrdao.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_image_sink_nero.cpp)

# The sector checker, shared with tests that check whole images.
add_library(quorbel_discimage_sector_check STATIC ${CMAKE_CURRENT_LIST_DIR}/tests/sector_check.cpp)
target_include_directories(quorbel_discimage_sector_check PUBLIC ${PROJECT_SOURCE_DIR})

quorbel_add_gtest(discimage_sectors_encoder_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/sectors_encoder_test.cpp
  LIBS quorbel_discimage quorbel_discimage_sector_check)
quorbel_add_gtest(discimage_sectors_sink_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/sectors_sink_test.cpp
  LIBS quorbel_discimage_test_support quorbel_discimage_sector_check)
quorbel_add_gtest(discimage_sectors_nrg_read_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/sectors_nrg_read_test.cpp
  LIBS quorbel_discimage_test_support)
# Real readers (bchunk, cdrdao) on images written here; skipped when absent.
quorbel_add_gtest(discimage_sectors_tools_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/sectors_tools_test.cpp
  LIBS quorbel_discimage_test_support quorbel_discimage_sector_check NATIVE_ONLY)
# Encoder throughput against memcpy; reports, never fails on time.
quorbel_add_gtest(discimage_sectors_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/sectors_bench.cpp
  LIBS quorbel_discimage LABELS bench)
