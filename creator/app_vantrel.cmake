# The disc creator program Vantrel.exe and the library of its windows.
# Included from creator/CMakeLists.txt.
#
# quorbel_creator_res (Windows): the resource script every executable that
# shows these windows links; its bitmaps are drawn at build time.
#
# quorbel_creator_app (Windows): the application object and the source-file
# list window. The program adds only its global application object and the
# stored skin, so tests link the same windows and the same resources.
set(_cr ${CMAKE_CURRENT_SOURCE_DIR})

if(NOT QUORBEL_WINDOWS)
  return()
endif()

enable_language(RC)

# ---- Windows of the program ---------------------------------------------------------
add_library(quorbel_creator_app STATIC
  ${_cr}/app_creator.cpp
  ${_cr}/main_dialog.cpp
  ${_cr}/main_dialog_job.cpp)
target_include_directories(quorbel_creator_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_creator_app PUBLIC
  quorbel_suite_startup quorbel_suite_dialogs quorbel_suite_skin_help quorbel_suite_list_rules quorbel_creator_job
  quorbel_creator_settings quorbel_suite_base quorbel_suite_mpeg_creator_obj quorbel_controls
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
