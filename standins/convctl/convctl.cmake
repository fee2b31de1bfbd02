# The conversion control's stand-in: what it does with a source file
# (platform-neutral, quorbel_convctl_core, tested natively), the in-process
# COM server "MPEGCreator.dll" (Windows) and its fuzz target. Included at
# the end of standins/CMakeLists.txt.
set(_cc ${_si}/convctl)

add_library(quorbel_convctl_core STATIC ${_cc}/ps_demux.cpp ${_cc}/media_convert.cpp ${_cc}/media_graphs.cpp)
target_include_directories(quorbel_convctl_core PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_convctl_core PUBLIC quorbel_ffmpeg)

# Sources that only the control's tests use (DVD streams, LPCM, no audio,
# AVI), made by ffmpeg once per run.
set(QUORBEL_CONVCTL_FIXTURES ${CMAKE_BINARY_DIR}/fixtures/convctl)
quorbel_add_fixture(convctl_fixtures VARIABLE QUORBEL_CONVCTL_FIXTURES FOLDER ${QUORBEL_CONVCTL_FIXTURES}
  COMMAND sh ${_cc}/tests/make-convctl-fixtures.sh ${QUORBEL_CONVCTL_FIXTURES})

# The kinds of files people have, for the conversion road's test.
set(QUORBEL_CONVCTL_KINDS ${CMAKE_BINARY_DIR}/fixtures/convctl-kinds)
quorbel_add_fixture(convctl_kinds VARIABLE QUORBEL_CONVCTL_KINDS FOLDER ${QUORBEL_CONVCTL_KINDS}
  COMMAND sh ${_cc}/tests/make-kinds-fixtures.sh ${QUORBEL_CONVCTL_KINDS})

quorbel_add_gtest(standins_convctl_core_test NATIVE_ONLY
  SOURCES ${_cc}/tests/ps_demux_test.cpp
  LIBS quorbel_convctl_core quorbel_discimage_test_support)
quorbel_test_fixtures(standins_convctl_core_test mpeg_fixtures convctl_fixtures)
quorbel_add_gtest(standins_convctl_media_test NATIVE_ONLY
  SOURCES ${_cc}/tests/media_convert_test.cpp
  LIBS quorbel_convctl_core quorbel_discimage_test_support)
quorbel_test_fixtures(standins_convctl_media_test convctl_fixtures convctl_kinds)
if(TARGET quorbel_dvdauthor_core)
  quorbel_add_gtest(standins_convctl_road_test NATIVE_ONLY TIMEOUT 900
    SOURCES ${_cc}/tests/conversion_road_test.cpp
    LIBS quorbel_convctl_core quorbel_mux quorbel_dvdauthor_core quorbel_discimage_test_support)
  quorbel_test_fixtures(standins_convctl_road_test convctl_kinds)
endif()

if(COMMAND quorbel_add_fuzzer)
  quorbel_add_fuzzer(standins_convctl_fuzz SOURCES ${_cc}/fuzz/ps_demux_fuzz.cpp
    LIBS quorbel_convctl_core MAX_LEN 65536 SEEDS ${_cc}/fuzz/seeds.sh)
  quorbel_add_fuzzer(standins_convctl_media_fuzz SOURCES ${_cc}/fuzz/media_probe_fuzz.cpp
    LIBS quorbel_convctl_core MAX_LEN 65536 SEEDS ${_cc}/fuzz/seeds.sh)
endif()

if(QUORBEL_WINDOWS)
  quorbel_standin_dll(standin_convctl MPEGCreator ${_cc}/MPEGCreator.def
    ${_cc}/convctl_dll.cpp
    ${_cc}/convctl_control.cpp)
  target_link_libraries(standin_convctl PRIVATE quorbel_convctl_core ole32 oleaut32 uuid user32)
  add_dependencies(quorbel_standins standin_convctl)
endif()

# The conversion benchmark: the converter against ffmpeg's command line
# (-target pal-dvd) on a 60 s 1280x720 H.264/AAC clip. It only reports; it
# runs alone so that other tests do not skew the numbers.
if(NOT QUORBEL_WINDOWS)
  add_executable(convctl_convert_bench ${_cc}/bench/convert_bench.cpp)
  target_link_libraries(convctl_convert_bench PRIVATE quorbel_convctl_core)
  if(QUORBEL_RUNS_TESTS)
    set(_bench ${CMAKE_BINARY_DIR}/fixtures/convctl-bench)
    add_test(NAME convctl_bench_fixture COMMAND sh ${_cc}/bench/make-bench-clip.sh ${_bench})
    set_tests_properties(convctl_bench_fixture PROPERTIES FIXTURES_SETUP convctl_bench TIMEOUT 300 LABELS bench)
    add_test(NAME convctl_convert_bench COMMAND convctl_convert_bench ${_bench}/bench-720p.mp4 ${_bench} 1)
    set_tests_properties(convctl_convert_bench PROPERTIES FIXTURES_REQUIRED convctl_bench RUN_SERIAL TRUE
      TIMEOUT 600 LABELS bench)
  endif()
endif()
