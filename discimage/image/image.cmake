# Image layout, the VideoCD information files and the sector writer, with
# their tests (unit, end to end through zrdiscbuild and the system's disc
# readers) and the build benchmark; the sector encoder and the image sinks
# in sectors.cmake. Included from discimage/CMakeLists.txt.
set(_layout_dir ${CMAKE_CURRENT_LIST_DIR})
include(${_layout_dir}/sectors.cmake)

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

# Whole builds through the front end, in process: natively and under Wine.
quorbel_add_gtest(discimage_layout_frontend_test
  SOURCES ${_layout_dir}/tests/layout_frontend_test.cpp
  LIBS quorbel_discimage_test_support quorbel_discimage_sector_check TIMEOUT 300)
quorbel_test_fixtures(discimage_layout_frontend_test mpeg_fixtures)

# Every kind of sector written through whole builds and read back from the
# image apart from the encoder: natively and under Wine.
quorbel_add_gtest(discimage_layout_sector_kinds_test
  SOURCES ${_layout_dir}/tests/layout_sector_kinds_test.cpp
  LIBS quorbel_discimage_test_support quorbel_discimage_sector_check TIMEOUT 300)
quorbel_test_fixtures(discimage_layout_sector_kinds_test mpeg_fixtures)

# zrdiscbuild's images read by bchunk, iso-info, isoinfo, ffprobe and cdrdao
# (Linux tools: native only).
quorbel_add_gtest(discimage_layout_e2e_test
  SOURCES ${_layout_dir}/tests/layout_e2e_test.cpp
  LIBS quorbel_discimage_test_support quorbel_discimage_sector_check NATIVE_ONLY TIMEOUT 300)
if(TEST discimage_layout_e2e_test)
  target_compile_definitions(discimage_layout_e2e_test PRIVATE
    QUORBEL_ZRDISCBUILD="$<TARGET_FILE:zrdiscbuild>")
  add_dependencies(discimage_layout_e2e_test zrdiscbuild)
endif()
quorbel_test_fixtures(discimage_layout_e2e_test mpeg_fixtures)

# The folded EDC against a bitwise reference.
quorbel_add_gtest(discimage_layout_edc_test
  SOURCES ${_layout_dir}/tests/layout_edc_test.cpp LIBS quorbel_discimage)

# The build benchmark: the whole zrdiscbuild process building 10 minutes of
# VideoCD video into a cue/bin image, against the whole cat copying the
# source, in turns in the same run, with a user-space copy beside them; the
# start-up alone; peak memory for 1, 10 and 60 minutes. It reports; it runs
# alone so that other tests do not skew it.
if(NOT QUORBEL_WINDOWS)
  add_executable(build_bench ${_layout_dir}/bench/build_bench.cpp)
endif()
if(QUORBEL_RUNS_TESTS AND NOT QUORBEL_WINDOWS)
  add_test(NAME layout_build_bench
    COMMAND build_bench $<TARGET_FILE:zrdiscbuild> ${CMAKE_BINARY_DIR}/fixtures/bench-pal-vcd.mpg
            ${CMAKE_BINARY_DIR}/testwork/layout_build_bench)
  set_tests_properties(layout_build_bench PROPERTIES FIXTURES_REQUIRED mpeg_bench RUN_SERIAL TRUE
    TIMEOUT 600 LABELS bench)
endif()

# zrdiscbuild building images as a user runs it, natively and under Wine.
quorbel_add_program_test(discimage_layout_cli_checks
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:zrdiscbuild>
          -DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR} -DFIXTURES=${QUORBEL_MPEG_FIXTURES}
          -DWORK=${CMAKE_BINARY_DIR}/testwork/discimage_layout_cli_checks
          -P ${_layout_dir}/tests/layout_cli_checks.cmake)
quorbel_test_fixtures(discimage_layout_cli_checks mpeg_fixtures)
