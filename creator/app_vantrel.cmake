# The disc creator program Vantrel.exe and the library of its windows.
# Included from creator/CMakeLists.txt.
#
# quorbel_creator_rules (every build): the list window's rules that need no
# window - texts of rows and statics, durations read back from a row, the
# capacity scale of each disc type, the too-long warning.
#
# quorbel_creator_res (Windows): the resource script every executable that
# shows these windows links; its bitmaps are drawn at build time.
#
# quorbel_app_skin_help (Windows): the skin library's operations by ordinal
# and the HTML Help call, which every disc program makes the same way.
#
# quorbel_app_startup (Windows): the start-up steps of the disc programs
# before their first window.
#
# quorbel_app_dialogs (Windows): the disc-type chooser, the scanning dialog
# and the About box, which every suite program shows with its own ids, and
# the minimised main window's icon and the list windows' probe of a file.
#
# quorbel_creator_app (Windows): the application object and the source-file
# list window. The program adds only its global application object and the
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

# ---- What the disc programs share: the skin library by ordinal, the help --------------
add_library(quorbel_app_skin_help STATIC ${_cr}/app_help.cpp ${_cr}/app_skin.cpp)
target_include_directories(quorbel_app_skin_help PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_app_skin_help PUBLIC quorbel_mfc advapi32 user32)

# ---- The start-up steps the disc programs share ---------------------------------------
# DirectX check, filter registration, the multiplexer library, the skin.
add_library(quorbel_app_startup STATIC ${_cr}/app_startup.cpp)
target_include_directories(quorbel_app_startup PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_app_startup PUBLIC quorbel_app_skin_help quorbel_outside_calls quorbel_mfc ole32)

# ---- The suite's small dialogs: disc-type chooser, scanning window, About box ---------
# Every program passes its own template, control and bitmap ids.
add_library(quorbel_app_dialogs STATIC
  ${_cr}/disc_type_dialog.cpp
  ${_cr}/main_dialog_about.cpp
  ${_cr}/main_dialog_scan_wait.cpp
  ${_cr}/minimized_icon.cpp
  ${_cr}/source_probe.cpp)
target_include_directories(quorbel_app_dialogs PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_app_dialogs PUBLIC
  quorbel_app_skin_help quorbel_mpeg_creator_obj quorbel_creator_rules quorbel_creator_base quorbel_controls quorbel_mfc
  oleaut32 user32 gdi32)

# ---- Windows of the program ---------------------------------------------------------
add_library(quorbel_creator_app STATIC
  ${_cr}/app_creator.cpp
  ${_cr}/main_dialog.cpp
  ${_cr}/main_dialog_job.cpp)
target_include_directories(quorbel_creator_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_creator_app PUBLIC
  quorbel_app_startup quorbel_app_dialogs quorbel_app_skin_help quorbel_creator_rules quorbel_creator_job quorbel_creator_base quorbel_mpeg_creator_obj quorbel_controls
  quorbel_outside_calls quorbel_mfc comctl32 comdlg32 shell32 ole32 oleaut32 user32 gdi32 advapi32)

# ---- The program, its resources and art ----------------------------------------------
# quorbel_creator_res: the resource script every executable that shows these
# windows links (dialogs 100, 102, 143, 150, 155, bitmaps, icon, menu,
# strings); the program alone stores the suite's skin as resource 144.
set(_art_names "")
foreach(_name about add add_small remove remove_small remove_all run help home exit play up down
              chosen not_chosen)
  list(APPEND _art_names ${_name}.bmp)
endforeach()
quorbel_add_suite_program(Vantrel
  MAIN ${_cr}/vantrel_main.cpp
  RC ${_cr}/res/creator.rc
  RC_HEADER ${_cr}/res/creator_resource.h
  ART_SCRIPT ${_cr}/res/make_creator_art.py
  ART_OUTPUTS ${_art_names} vantrel.ico
  ART_TARGET quorbel_creator_art
  SKIN_ID 144
  RES_LIBRARY quorbel_creator_res
  SKIN_LIBRARY_BESIDE
  LIBS quorbel_creator_app)

# ---- Tests of the windows under Wine ------------------------------------------------------
include(${_cr}/tests/app_vantrel_tests.cmake)
