# Shared part of the MinGW-w64 toolchains; the including file sets
# ZIRPTON_MINGW_TRIPLE. Debian's compilers with the posix thread model, so
# that the whole C++ library is there; everything linked statically, so that
# one .exe is all a user copies.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ZIRPTON_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZIRPTON_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZIRPTON_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZIRPTON_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests of a cross build run under wine, in a prefix of their own.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run)
