# quorbel_add_suite_program: one program of the suite (Windows builds) with
# its resource script, the art its script draws at build time and the
# suite's skin stored as a resource.
#
#   quorbel_add_suite_program(<exe>
#     MAIN <source>               the program's own source (its application object)
#     RC <script>                 the program's resource script
#     RC_HEADER <header>          the ids the script includes
#     ART_SCRIPT <script.py>      draws ART_OUTPUTS into <binary dir>/art
#     ART_OUTPUTS <name>...       the files it draws (names in that folder)
#     ART_TARGET <target>         the custom target that draws them
#     [ART_RESOURCES <id> <type> <name> ...]
#                                 art entries written into a generated script
#                                 that joins RC (for scripts that name no art)
#     SKIN_ID <id>                the skin's resource id (type "RT_VENEERKIT")
#     [SKIN <name>]               the packed skin <build>/skins/<name>.vks
#                                 (default quorbel, the disc programs' one)
#     [SKIN_IN_RESOURCES]         the skin joins the shared resources, so test
#                                 executables that use them are skinned too;
#                                 otherwise only the program stores it
#     [RES_LIBRARY <target>]      an OBJECT library of the resources, for tests
#     [RC_VARIABLE <variable>]    set in the caller to the resource scripts
#     [OUTPUT_DIR <dir>]          where the program lands
#     [SKIN_LIBRARY_BESIDE]       copies VeneerKit.dll beside the program
#     LIBS <library>...)
#
# Without the native skin compiler (QUORBEL_SKINC) the program stores no
# skin and runs unskinned. The calling directory enables the RC language
# (CMake allows that only at file scope).
# The art scripts draw with Pillow (python3-pil): the python3 that runs them
# is the first one on the path that has it (another installation may come
# first without it).
function(quorbel_python_has_pillow result candidate)
  execute_process(COMMAND ${candidate} -c "import PIL.Image, PIL.ImageFont"
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()
find_program(QUORBEL_ART_PYTHON NAMES python3 VALIDATOR quorbel_python_has_pillow
  PATHS /usr/bin REQUIRED)

function(quorbel_add_suite_program exe)
  cmake_parse_arguments(P "SKIN_IN_RESOURCES;SKIN_LIBRARY_BESIDE"
    "MAIN;RC;RC_HEADER;ART_SCRIPT;ART_TARGET;SKIN_ID;SKIN;RES_LIBRARY;RC_VARIABLE;OUTPUT_DIR"
    "ART_OUTPUTS;ART_RESOURCES;LIBS" ${ARGN})

  # ---- The art, drawn at build time
  set(art ${CMAKE_CURRENT_BINARY_DIR}/art)
  set(art_files "")
  foreach(name ${P_ART_OUTPUTS})
    list(APPEND art_files ${art}/${name})
  endforeach()
  get_filename_component(script_name ${P_ART_SCRIPT} NAME)
  # The scripts draw with the suite's shared art module.
  add_custom_command(OUTPUT ${art_files}
    COMMAND ${QUORBEL_ART_PYTHON} ${P_ART_SCRIPT} ${art}
    DEPENDS ${P_ART_SCRIPT} ${PROJECT_SOURCE_DIR}/tools/art/quorbel_art.py
    COMMENT "Drawing ${exe}'s art (${script_name})")

  # ---- The skin resource line, and the generated script of art entries
  if(NOT P_SKIN)
    set(P_SKIN quorbel)
  endif()
  set(vks ${CMAKE_BINARY_DIR}/skins/${P_SKIN}.vks)
  set(skin_line "")
  if(QUORBEL_SKINC)
    set(skin_line "${P_SKIN_ID} RT_VENEERKIT \"${vks}\"\n")
  endif()
  set(art_rc_text "")
  set(entries ${P_ART_RESOURCES})
  while(entries)
    list(POP_FRONT entries id type name)
    string(APPEND art_rc_text "${id} ${type} \"${art}/${name}\"\n")
  endwhile()
  set(shared_deps ${art_files})
  if(P_SKIN_IN_RESOURCES AND QUORBEL_SKINC)
    string(APPEND art_rc_text "${skin_line}")
    list(APPEND shared_deps ${vks})
  endif()

  set(rc_files ${P_RC})
  set_source_files_properties(${P_RC} PROPERTIES OBJECT_DEPENDS "${art_files};${P_RC_HEADER}")
  if(NOT art_rc_text STREQUAL "")
    string(TOLOWER ${exe} lower)
    set(art_rc ${CMAKE_CURRENT_BINARY_DIR}/${lower}_art.rc)
    # Written through configure_file so that an unchanged script keeps its time.
    file(WRITE ${art_rc}.in "${art_rc_text}")
    configure_file(${art_rc}.in ${art_rc} COPYONLY)
    set_source_files_properties(${art_rc} PROPERTIES OBJECT_DEPENDS "${shared_deps}")
    list(APPEND rc_files ${art_rc})
  endif()
  add_custom_target(${P_ART_TARGET} DEPENDS ${shared_deps})
  if(P_SKIN_IN_RESOURCES AND QUORBEL_SKINC)
    add_dependencies(${P_ART_TARGET} quorbel_skins)
  endif()

  # ---- The resources as a library (the scripts find the art by name)
  set(program_rc ${rc_files})
  if(P_RES_LIBRARY)
    add_library(${P_RES_LIBRARY} OBJECT ${rc_files})
    target_include_directories(${P_RES_LIBRARY} PRIVATE ${art} ${PROJECT_SOURCE_DIR})
    add_dependencies(${P_RES_LIBRARY} ${P_ART_TARGET})
    set(program_rc "")
  endif()
  if(P_RC_VARIABLE)
    set(${P_RC_VARIABLE} ${rc_files} PARENT_SCOPE)
  endif()

  # ---- The skin stored in the program alone
  set(skin_rc "")
  if(QUORBEL_SKINC AND NOT P_SKIN_IN_RESOURCES)
    string(TOLOWER ${exe} lower)
    set(skin_rc ${CMAKE_CURRENT_BINARY_DIR}/${lower}_skin.rc)
    file(WRITE ${skin_rc}.in "${skin_line}")
    configure_file(${skin_rc}.in ${skin_rc} COPYONLY)
    set_source_files_properties(${skin_rc} PROPERTIES OBJECT_DEPENDS ${vks})
  endif()

  # ---- The program
  add_executable(${exe} WIN32 ${P_MAIN} ${program_rc} ${skin_rc})
  if(NOT P_RES_LIBRARY)
    target_include_directories(${exe} PRIVATE ${art})
  endif()
  target_link_libraries(${exe} PRIVATE ${P_RES_LIBRARY} ${P_LIBS})
  add_dependencies(${exe} ${P_ART_TARGET})
  if(QUORBEL_SKINC)
    add_dependencies(${exe} quorbel_skins)
  endif()
  if(P_OUTPUT_DIR)
    set_target_properties(${exe} PROPERTIES OUTPUT_NAME ${exe} RUNTIME_OUTPUT_DIRECTORY ${P_OUTPUT_DIR})
  endif()
  if(P_SKIN_LIBRARY_BESIDE)
    # The skin library, loaded by name at start-up, lands beside the program.
    add_dependencies(${exe} VeneerKit)
    add_custom_command(TARGET ${exe} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:VeneerKit> $<TARGET_FILE_DIR:${exe}>)
  endif()
endfunction()

# <build>/suite-files.txt: the files an installed suite holds, one
# "<file name><TAB><built path>" a line, for scripts/make-suite-prefix.sh,
# which so never takes a copy lying elsewhere in the build tree (a test's or
# an installed suite's) for the built file; and the test that those files
# carry no debug sections. Called once all targets exist.
function(quorbel_write_suite_files)
  if(NOT QUORBEL_WINDOWS)
    return()
  endif()
  get_property(standins GLOBAL PROPERTY QUORBEL_STANDIN_DLLS)
  set(lines "")
  # quorbel_deliverables: what a user gets (the suite's files and the
  # builder's command line), without a test; the i686 tree builds just this.
  add_custom_target(quorbel_deliverables)
  if(NOT QUORBEL_HAS_FFMPEG)
    list(REMOVE_ITEM standins standin_convctl)
  endif()
  foreach(target Quorbel Vantrel Pelzor Skarven VeneerKit quorbel_discimage_dll ${standins})
    if(TARGET ${target})
      string(APPEND lines "$<TARGET_FILE_NAME:${target}>\t$<TARGET_FILE:${target}>\n")
      add_dependencies(quorbel_deliverables ${target})
    endif()
  endforeach()
  add_dependencies(quorbel_deliverables zrdiscbuild)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/suite-files.txt CONTENT "${lines}")
  # What a user installs is lean: no debug sections in those files.
  if(QUORBEL_RUNS_TESTS)
    add_test(NAME suite_files_lean
      COMMAND sh ${PROJECT_SOURCE_DIR}/testing/check-suite-lean.sh ${CMAKE_OBJDUMP} ${CMAKE_BINARY_DIR})
  endif()
endfunction()

