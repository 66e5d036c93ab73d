# The portable core as 32-bit x86 Linux code (g++ -m32), run through
# qemu-i386 user mode: pointer-sized arithmetic, size_t limits and the
# library's structure sizes as on 32-bit Windows, while this kernel cannot
# run 32-bit code itself.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
# -m32 goes with the compiler itself, so that flags given on the command
# line (the bootstrap's library builds) cannot drop it.
set(CMAKE_C_COMPILER gcc -m32)
set(CMAKE_CXX_COMPILER g++ -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
# Host libraries (pkg-config) in their 32-bit multiarch builds.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig)
