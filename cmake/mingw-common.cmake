# Shared by both mingw toolchain files. The -posix thread model is needed for
# std::thread/std::mutex (and so for GoogleTest).
set(CMAKE_C_COMPILER   ${QUORBEL_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORBEL_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${QUORBEL_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUORBEL_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static runtime: no mingw DLL has to be found under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
if(QUORBEL_TRIPLET STREQUAL "x86_64-w64-mingw32")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-emulator.sh)
endif()
