# Windows part of standins/: the call layer the programs link, the stand-in
# DLLs and their tests under Wine. Included from standins/CMakeLists.txt.
#
# Every stand-in DLL lands in this folder's build directory, beside the
# tests, so that LoadLibrary finds it by name as the programs do.

# --- the programs' call layer -----------------------------------------------
add_library(quorbel_outside_calls STATIC
  ${_si}/calls/outside_library.cpp
  ${_si}/calls/muxtools_calls.cpp
  ${_si}/calls/cdscribe_calls.cpp
  ${_si}/calls/dvdscribe_calls.cpp
  ${_si}/calls/dvdauthor_calls.cpp)
target_include_directories(quorbel_outside_calls PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_outside_calls PUBLIC user32)

# --- what the stand-ins share -------------------------------------------------
add_library(quorbel_standin_common STATIC
  ${_si}/common/standin_trace.cpp
  ${_si}/common/virtual_drives.cpp
  ${_si}/common/folders.cpp)
target_include_directories(quorbel_standin_common PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quorbel_standin_common PUBLIC advapi32)

# A stand-in DLL: exports as its .def file spells them, undecorated on i686.
function(quorbel_standin_dll target output def)
  add_library(${target} SHARED ${ARGN} ${def})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${output}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  target_link_libraries(${target} PRIVATE quorbel_standin_common)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
  endif()
  set_property(GLOBAL APPEND PROPERTY QUORBEL_STANDIN_DLLS ${target})
endfunction()

quorbel_standin_dll(standin_muxtools muxTools ${_si}/muxtools/muxTools.def
  ${_si}/muxtools/muxtools.cpp)
target_link_libraries(standin_muxtools PRIVATE quorbel_mux)

quorbel_standin_dll(standin_cdscribe CdScribe ${_si}/cdscribe/CdScribe.def
  ${_si}/cdscribe/cdscribe.cpp)
target_link_libraries(standin_cdscribe PRIVATE quorbel_cdscribe_core)

quorbel_standin_dll(standin_dvdscribe DvdScribe ${_si}/dvdscribe/DvdScribe.def
  ${_si}/dvdscribe/dvdscribe.cpp)

if(TARGET quorbel_dvdauthor_core)
  quorbel_standin_dll(standin_dvdauthor DVDAuthorDLL ${_si}/dvdauthor/DVDAuthorDLL.def
    ${_si}/dvdauthor/dvdauthor_dll.cpp)
  target_link_libraries(standin_dvdauthor PRIVATE quorbel_dvdauthor_core user32)
endif()

foreach(_filter MPEGFilter MPEGWriteFilter DVDEncoder RealMedia)
  set(QUORBEL_FILTER_NAME ${_filter})
  configure_file(${_si}/filters/filter.def.in ${CMAKE_CURRENT_BINARY_DIR}/${_filter}.def @ONLY)
  quorbel_standin_dll(standin_${_filter} ${_filter} ${CMAKE_CURRENT_BINARY_DIR}/${_filter}.def
    ${_si}/filters/filter_library.cpp)
  target_compile_definitions(standin_${_filter} PRIVATE QUORBEL_FILTER_NAME="${_filter}")
endforeach()

# All stand-ins at once (make-suite-prefix.sh takes them from here).
get_property(_dlls GLOBAL PROPERTY QUORBEL_STANDIN_DLLS)
add_custom_target(quorbel_standins ALL DEPENDS ${_dlls})

# --- tests under Wine -----------------------------------------------------------
if(EXISTS ${_si}/tests/windows_tests.cmake)
  include(${_si}/tests/windows_tests.cmake)
endif()
