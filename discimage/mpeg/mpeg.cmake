# MPEG program stream parser and source scanner, their tests, the MPEG test
# fixtures and the scan benchmark. Included from discimage/CMakeLists.txt.
set(_mpeg_dir ${CMAKE_CURRENT_LIST_DIR})

target_sources(quorbel_discimage PRIVATE
  ${_mpeg_dir}/mpeg_info.cpp
  ${_mpeg_dir}/mpeg_parser.cpp
  ${_mpeg_dir}/mpeg_source.cpp
  ${_mpeg_dir}/mpeg_startcode.cpp)

# MPEG files made by ffmpeg once per test run into <build>/fixtures. The
# script runs on the host in every build (in the Wine build too: "sh" is no
# target of ours, so no emulator is put in front of it). A test that scans
# fixtures names mpeg_fixtures in quorbel_test_fixtures and finds the folder
# in its environment as QUORBEL_FIXTURES (see discimage/tests/test_paths.h).
set(QUORBEL_MPEG_FIXTURES ${CMAKE_BINARY_DIR}/fixtures)
set(_mpeg_fixture_script ${PROJECT_SOURCE_DIR}/scripts/make-mpeg-fixtures.sh)
quorbel_add_fixture(mpeg_fixtures VARIABLE QUORBEL_FIXTURES FOLDER ${QUORBEL_MPEG_FIXTURES}
  COMMAND sh ${_mpeg_fixture_script} ${QUORBEL_MPEG_FIXTURES})

quorbel_add_gtest(discimage_mpeg_parser_test
  SOURCES ${_mpeg_dir}/tests/mpeg_parser_test.cpp LIBS quorbel_discimage)
quorbel_add_gtest(discimage_mpeg_source_test
  SOURCES ${_mpeg_dir}/tests/mpeg_source_test.cpp LIBS quorbel_discimage_test_support)
quorbel_test_fixtures(discimage_mpeg_source_test mpeg_fixtures)

# The scan benchmark: scan throughput next to a plain read of the same 60 s
# VideoCD stream. It only reports; it runs alone so that other tests do not
# skew the numbers.
add_executable(mpeg_scan_bench ${_mpeg_dir}/bench/scan_bench.cpp)
target_link_libraries(mpeg_scan_bench PRIVATE quorbel_discimage)
if(QUORBEL_RUNS_TESTS AND NOT QUORBEL_WINDOWS)
  add_test(NAME mpeg_bench_fixture COMMAND sh ${_mpeg_fixture_script} ${QUORBEL_MPEG_FIXTURES} bench)
  set_tests_properties(mpeg_bench_fixture PROPERTIES FIXTURES_SETUP mpeg_bench TIMEOUT 300
    LABELS bench)
  add_test(NAME mpeg_scan_bench
    COMMAND mpeg_scan_bench ${QUORBEL_MPEG_FIXTURES}/bench-pal-vcd.mpg)
  set_tests_properties(mpeg_scan_bench PROPERTIES FIXTURES_REQUIRED mpeg_bench RUN_SERIAL TRUE
    TIMEOUT 300 LABELS bench)
endif()
