# Fuzzing: a native clang tree configured with -DQUORBEL_FUZZ=ON (see
# scripts/run-fuzzers.sh). Every source of that tree is instrumented for
# libFuzzer and built with ASan/UBSan; the fuzz targets link the same
# libraries as the programs, so no source list is kept twice.
#
# quorbel_add_fuzzer(<name> SOURCES ... [LIBS ...] [MAX_LEN n] [SEEDS script])
#   SEEDS: a shell script called as `<script> <name> <corpus dir> <build dir>`
#   that writes starting inputs (and may write <corpus dir>.dict).
option(QUORBEL_FUZZ "Native clang build of the libFuzzer targets (ASan/UBSan)" OFF)

if(QUORBEL_FUZZ)
  if(QUORBEL_WINDOWS OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUORBEL_FUZZ needs a native clang build")
  endif()
  add_compile_options(-g -O1 -fno-omit-frame-pointer
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  add_custom_target(quorbel_fuzzers)
endif()

function(quorbel_add_fuzzer name)
  if(NOT QUORBEL_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "MAX_LEN;SEEDS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_MAX_LEN)
    set(F_MAX_LEN 4096)
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(quorbel_fuzzers ${name})
  set_property(GLOBAL APPEND PROPERTY QUORBEL_FUZZER_LIST
    "${name}|$<TARGET_FILE:${name}>|${F_MAX_LEN}|${F_SEEDS}")
endfunction()

# Called once at the end of the top-level list file: the list of targets that
# scripts/run-fuzzers.sh runs, one "name|exe|max_len|seed script" a line.
function(quorbel_write_fuzzer_list)
  if(NOT QUORBEL_FUZZ)
    return()
  endif()
  get_property(list GLOBAL PROPERTY QUORBEL_FUZZER_LIST)
  string(REPLACE ";" "\n" text "${list}")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzzers.list CONTENT "${text}\n")
endfunction()
