#!/usr/bin/env bash
# Configures and builds the build trees under build/:
#   native   portable core, unit tests, tools          (host compiler)
#   native32 the same as 32-bit code, run by CTest through qemu-i386 (g++ -m32)
#   asan     the same under AddressSanitizer + UBSan    (host compiler)
#   fuzz     libFuzzer targets                          (clang)
#   x86_64   Setup.exe, XceedZip.dll, Windows-side tests (MinGW-w64)
#   i686     Setup.exe, XceedZip.dll as shipped          (MinGW-w64)
# Usage: scripts/build.sh [tree...]   (default: all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(native native32 asan fuzz x86_64 i686)

for tree in "${trees[@]}"; do
  b="$root/build/$tree"
  case $tree in
    native) args=(-DSETUP_BENCH=ON) ;;
    native32) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/native32.cmake") ;;
    asan)   args=(-DSETUP_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
    fuzz)   args=(-DSETUP_FUZZ=ON -DSETUP_TESTS=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    x86_64) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake") ;;
    i686)   args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DSETUP_TESTS=OFF) ;;
    *) echo "build.sh: unknown tree $tree" >&2; exit 2 ;;
  esac
  if [ ! -f "$b/build.ninja" ]; then
    cmake -S "$root" -B "$b" -G Ninja "${args[@]}" >/dev/null
  fi
  echo "build: $tree"
  cmake --build "$b" -j "$jobs"
done
