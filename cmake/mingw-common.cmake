# Shared part of the MinGW-w64 toolchain files; expects SETUP_MINGW_TRIPLE and
# SETUP_MINGW_THREADS, the thread model of the compiler and its runtime
# (posix: winpthread linked in; win32: no thread library).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${SETUP_MINGW_TRIPLE})
set(CMAKE_C_COMPILER ${SETUP_MINGW_TRIPLE}-gcc-${SETUP_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${SETUP_MINGW_TRIPLE}-g++-${SETUP_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${SETUP_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SETUP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Windows-side programs run under Wine: CTest starts them through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
