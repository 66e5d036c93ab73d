# Cross build of the Windows program for i686 (the build shipped for 32-bit Windows).
set(SETUP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
