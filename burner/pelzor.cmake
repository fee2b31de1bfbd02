# The disc burner program Pelzor.exe, its windows and its resources.
# Included from burner/CMakeLists.txt (Windows builds only).
#
# quorbel_burner_app: the settings record, the application object and every
# window of the program. The program adds only its global application
# object and its resources, so tests link the same windows and the same
# resource script. It shares the application kit's small dialogs, skin
# calls and help, and the disc-job workers (image build, CD burning,
# DVD writing) with their rules.
enable_language(RC)

# ---- Windows of the program -------------------------------------------------------------------
add_library(quorbel_burner_app STATIC
  ${_bu}/burn_settings.cpp
  ${_bu}/burner_app.cpp
  ${_bu}/burner_dialogs.cpp
  ${_bu}/burner_main_dialog.cpp
  ${_bu}/start_burn_dialog.cpp)
target_include_directories(quorbel_burner_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_burner_app PUBLIC
  quorbel_burner_rules quorbel_suite_startup quorbel_suite_dialogs quorbel_suite_skin_help quorbel_discjob quorbel_suite_base quorbel_controls
  quorbel_outside_calls quorbel_discimage_entry quorbel_mfc
  comctl32 comdlg32 shell32 ole32 oleaut32 user32 gdi32 advapi32)

# ---- The program, its resources and art ---------------------------------------------------
# quorbel_burner_res: the resource script with its icons and bitmaps drawn at
# build time; the program alone stores the suite's skin as resource 129.
set(_art_names "")
foreach(_name pelzor add remove burn about home help exit add_small remove_small remove_all play up
              down toolkit)
  list(APPEND _art_names ${_name}.ico)
endforeach()
quorbel_add_suite_program(Pelzor
  MAIN ${_bu}/pelzor_main.cpp
  RC ${_bu}/res/burner.rc
  RC_HEADER ${_bu}/res/burner_resource.h
  ART_SCRIPT ${_bu}/res/make_burner_art.py
  ART_OUTPUTS ${_art_names} chosen.bmp not_chosen.bmp
  ART_TARGET quorbel_burner_art
  SKIN_ID 129
  RES_LIBRARY quorbel_burner_res
  SKIN_LIBRARY_BESIDE
  LIBS quorbel_burner_app)

if(EXISTS ${_bu}/tests/windows_tests.cmake)
  include(${_bu}/tests/windows_tests.cmake)
endif()
