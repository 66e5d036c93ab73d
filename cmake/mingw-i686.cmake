# Cross build of the Windows program for i686 (the build shipped for 32-bit Windows).
# The program runs on one thread: the win32 thread model keeps the posix
# thread library (about 32 KB) out of it.
set(SETUP_MINGW_TRIPLE i686-w64-mingw32)
set(SETUP_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
