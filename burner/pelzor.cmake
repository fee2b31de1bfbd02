# The disc burner program Pelzor.exe, its windows and its resources.
# Included from burner/CMakeLists.txt (Windows builds only).
#
# quorbel_burner_app: the settings record, the application object and every
# window of the program. The program adds only its global application
# object and its resources, so tests link the same windows and the same
# resource script. It shares the disc creator's skin calls, help, DVD
# writing and job rules.
enable_language(RC)

# ---- Resources ------------------------------------------------------------------------------
set(_art ${CMAKE_CURRENT_BINARY_DIR}/art)
set(_art_files "")
foreach(_name pelzor add remove burn about home help exit add_small remove_small remove_all play up
              down toolkit)
  list(APPEND _art_files ${_art}/${_name}.ico)
endforeach()
list(APPEND _art_files ${_art}/chosen.bmp ${_art}/not_chosen.bmp)
find_program(QUORBEL_PYTHON3 NAMES python3 REQUIRED)
add_custom_command(OUTPUT ${_art_files}
  COMMAND ${QUORBEL_PYTHON3} ${_bu}/res/make_burner_art.py ${_art}
  DEPENDS ${_bu}/res/make_burner_art.py
  COMMENT "Drawing the disc burner's icons and bitmaps")
add_custom_target(quorbel_burner_art DEPENDS ${_art_files})

add_library(quorbel_burner_res OBJECT ${_bu}/res/burner.rc)
set_source_files_properties(${_bu}/res/burner.rc PROPERTIES
  OBJECT_DEPENDS "${_art_files};${_bu}/res/burner_resource.h")
target_include_directories(quorbel_burner_res PRIVATE ${_art} ${PROJECT_SOURCE_DIR})
add_dependencies(quorbel_burner_res quorbel_burner_art)

# ---- Windows of the program -------------------------------------------------------------------
add_library(quorbel_burner_app STATIC
  ${_bu}/burn_settings.cpp
  ${_bu}/burner_app.cpp
  ${_bu}/burner_dialogs.cpp
  ${_bu}/burner_main_dialog.cpp
  ${_bu}/start_burn_dialog.cpp)
target_include_directories(quorbel_burner_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_burner_app PUBLIC
  quorbel_burner_rules quorbel_creator_app quorbel_creator_job quorbel_creator_base quorbel_controls
  quorbel_outside_calls quorbel_discimage_entry quorbel_mfc
  comctl32 comdlg32 shell32 ole32 oleaut32 user32 gdi32 advapi32)

# ---- The program -------------------------------------------------------------------------------
# The suite's skin as resource 129 of type "RT_VENEERKIT" (made by skins/
# with the native skin compiler; without it the program runs unskinned).
set(_skin_rc "")
if(QUORBEL_SKINC)
  set(_skin_rc ${CMAKE_CURRENT_BINARY_DIR}/burner_skin.rc)
  file(WRITE ${_skin_rc}.in "129 RT_VENEERKIT \"${CMAKE_BINARY_DIR}/skins/quorbel.vks\"\n")
  configure_file(${_skin_rc}.in ${_skin_rc} COPYONLY)
  set_source_files_properties(${_skin_rc} PROPERTIES OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/skins/quorbel.vks)
endif()

add_executable(Pelzor WIN32 ${_bu}/pelzor_main.cpp ${_skin_rc})
target_link_libraries(Pelzor PRIVATE quorbel_burner_res quorbel_burner_app)
if(QUORBEL_SKINC)
  add_dependencies(Pelzor quorbel_skins)
endif()
# The skin library, loaded by name at start-up, lands beside the program.
add_dependencies(Pelzor VeneerKit)
add_custom_command(TARGET Pelzor POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:VeneerKit> $<TARGET_FILE_DIR:Pelzor>)

if(EXISTS ${_bu}/tests/windows_tests.cmake)
  include(${_bu}/tests/windows_tests.cmake)
endif()
