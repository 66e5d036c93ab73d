# Cross build of the Windows program for x86-64 (the tested build).
set(SETUP_MINGW_TRIPLE x86_64-w64-mingw32)
set(SETUP_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
