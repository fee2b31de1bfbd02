# Messages, streams, paths and small utilities every chapter of the builder uses.
target_sources(quorbel_discimage PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/vcd_messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_paths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_read_ahead.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_worker_threads.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vcd_write_behind.cpp)

quorbel_add_gtest(discimage_util_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/util_test.cpp LIBS quorbel_discimage)
quorbel_add_gtest(discimage_stream_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/stream_test.cpp LIBS quorbel_discimage_test_support)
