# The disc creator program Vantrel.exe and the library of its windows.
# Included from creator/CMakeLists.txt.
#
# quorbel_creator_rules (every build): the list window's rules that need no
# window - texts of rows and statics, durations read back from a row, the
# capacity scale of each disc type, the too-long warning.
#
# quorbel_creator_res (Windows): the resource script every executable that
# shows these windows links (dialogs 100, 102, 143, 150, 155, bitmaps, icon,
# menu, strings); its bitmaps are drawn at build time.
#
# quorbel_app_skin_help (Windows): the skin library's operations by ordinal
# and the HTML Help call, which every disc program makes the same way.
#
# quorbel_creator_app (Windows): the application object, the disc-type
# chooser, the scanning dialog, the source-file list window with its About
# dialog. The program adds only its global application object and the
# stored skin, so tests link the same windows and the same resources.
set(_cr ${CMAKE_CURRENT_SOURCE_DIR})

add_library(quorbel_creator_rules STATIC ${_cr}/main_dialog_rules.cpp)
target_include_directories(quorbel_creator_rules PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_creator_rules PUBLIC quorbel_creator_base)

quorbel_add_gtest(creator_main_rules_test SOURCES ${_cr}/tests/main_dialog_rules_test.cpp
  LIBS quorbel_creator_rules)
if(COMMAND quorbel_add_fuzzer)
  quorbel_add_fuzzer(duration_cell_fuzz SOURCES ${_cr}/fuzz/duration_cell_fuzz.cpp
    LIBS quorbel_creator_rules MAX_LEN 64)
endif()

if(NOT QUORBEL_WINDOWS)
  return()
endif()

enable_language(RC)

# ---- Resources -------------------------------------------------------------------
set(_art ${CMAKE_CURRENT_BINARY_DIR}/art)
set(_art_files "")
foreach(_name about add add_small remove remove_small remove_all run help home exit play up down
              chosen not_chosen)
  list(APPEND _art_files ${_art}/${_name}.bmp)
endforeach()
list(APPEND _art_files ${_art}/vantrel.ico)
find_program(QUORBEL_PYTHON3 NAMES python3 REQUIRED)
add_custom_command(OUTPUT ${_art_files}
  COMMAND ${QUORBEL_PYTHON3} ${_cr}/res/make_creator_art.py ${_art}
  DEPENDS ${_cr}/res/make_creator_art.py
  COMMENT "Drawing the disc creator's bitmaps")
add_custom_target(quorbel_creator_art DEPENDS ${_art_files})

add_library(quorbel_creator_res OBJECT ${_cr}/res/creator.rc)
set_source_files_properties(${_cr}/res/creator.rc PROPERTIES
  OBJECT_DEPENDS "${_art_files};${_cr}/res/creator_resource.h")
target_include_directories(quorbel_creator_res PRIVATE ${_art} ${PROJECT_SOURCE_DIR})
add_dependencies(quorbel_creator_res quorbel_creator_art)

# ---- What the disc programs share: the skin library by ordinal, the help --------------
add_library(quorbel_app_skin_help STATIC ${_cr}/app_help.cpp ${_cr}/app_skin.cpp)
target_include_directories(quorbel_app_skin_help PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_app_skin_help PUBLIC quorbel_mfc advapi32 user32)

# ---- Windows of the program ---------------------------------------------------------
add_library(quorbel_creator_app STATIC
  ${_cr}/app_creator.cpp
  ${_cr}/disc_type_dialog.cpp
  ${_cr}/main_dialog.cpp
  ${_cr}/main_dialog_about.cpp
  ${_cr}/main_dialog_job.cpp
  ${_cr}/main_dialog_scan_wait.cpp)
target_include_directories(quorbel_creator_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_creator_app PUBLIC
  quorbel_app_skin_help quorbel_creator_rules quorbel_creator_job quorbel_creator_base quorbel_mpeg_creator_obj quorbel_controls
  quorbel_outside_calls quorbel_mfc comctl32 comdlg32 shell32 ole32 oleaut32 user32 gdi32 advapi32)

# ---- The program ------------------------------------------------------------------------
# The suite's skin as resource 144 of type "RT_VENEERKIT" (made by skins/
# with the native skin compiler; without it the program runs unskinned).
set(_skin_rc "")
if(QUORBEL_SKINC)
  set(_skin_rc ${CMAKE_CURRENT_BINARY_DIR}/creator_skin.rc)
  file(WRITE ${_skin_rc}.in "144 RT_VENEERKIT \"${CMAKE_BINARY_DIR}/skins/quorbel.vks\"\n")
  configure_file(${_skin_rc}.in ${_skin_rc} COPYONLY)
  set_source_files_properties(${_skin_rc} PROPERTIES OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/skins/quorbel.vks)
endif()

add_executable(Vantrel WIN32 ${_cr}/vantrel_main.cpp ${_skin_rc})
target_link_libraries(Vantrel PRIVATE quorbel_creator_res quorbel_creator_app)
if(QUORBEL_SKINC)
  add_dependencies(Vantrel quorbel_skins)
endif()
# The skin library, loaded by name at start-up, lands beside the program.
add_dependencies(Vantrel VeneerKit)
add_custom_command(TARGET Vantrel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:VeneerKit> $<TARGET_FILE_DIR:Vantrel>)

# ---- Tests of the windows under Wine ------------------------------------------------------
include(${_cr}/tests/app_vantrel_tests.cmake)
