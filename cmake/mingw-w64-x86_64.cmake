# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64, posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TOOLCHAIN_PREFIX}-gcc-posix ${TOOLCHAIN_PREFIX}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${TOOLCHAIN_PREFIX}-g++-posix ${TOOLCHAIN_PREFIX}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# A program a composer can unpack and run: no MinGW runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests of the cross build run under Wine.
find_program(TONFEX_WINE NAMES wine64 wine)
if(TONFEX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TONFEX_WINE})
endif()
# GCC 12 reports false -Wrestrict overlaps inside std::string once "literal" + string is
# inlined (GCC bug 105329); the native build at the same level does not.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
