#!/usr/bin/env bash
# Configures and builds the build trees under build/:
#   native   portable core, unit tests, tools          (host compiler)
#   native32 the same as 32-bit code, run by CTest through qemu-i386 (g++ -m32)
#   asan     the same under AddressSanitizer + UBSan    (host compiler)
#   fuzz     libFuzzer targets                          (clang)
#   x86_64   Setup.exe, XceedZip.dll, Windows-side tests (MinGW-w64)
#   i686     Setup.exe, XceedZip.dll as shipped          (MinGW-w64)
# Usage: scripts/build.sh [tree[:target]...]   (default: all trees, every target)
# A tree is configured afresh when its options or its toolchain changed since
# it was last configured (recorded in build/<tree>/.configured-with).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(native native32 asan fuzz x86_64 i686)

# What a tree's configuration depends on: its options, the toolchain files,
# and the compilers with their versions.
configuration() {
  local tree=$1 compiler
  shift
  printf '%s\n' "$tree" "$@"
  sha256sum "$root"/cmake/mingw-*.cmake "$root"/cmake/native32.cmake | sed "s|$root/||"
  case $tree in
    x86_64) set -- "$tree-w64-mingw32-gcc-posix" "$tree-w64-mingw32-g++-posix" ;;
    i686) set -- "$tree-w64-mingw32-gcc-win32" "$tree-w64-mingw32-g++-win32" ;;
    fuzz) set -- clang clang++ ;;
    *) set -- cc c++ ;;
  esac
  for compiler; do
    command -v "$compiler" && "$compiler" --version | head -n 1 || echo "$compiler: missing"
  done
}

for request in "${trees[@]}"; do
  tree=${request%%:*}
  target=
  [ "$tree" = "$request" ] || target=${request#*:}
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
  wanted=$(configuration "$tree" "${args[@]}")
  if [ ! -f "$b/build.ninja" ] || [ "$(cat "$b/.configured-with" 2>/dev/null)" != "$wanted" ]; then
    fresh=()
    [ ! -f "$b/CMakeCache.txt" ] || fresh=(--fresh)
    echo "build: configuring $tree"
    cmake "${fresh[@]}" -S "$root" -B "$b" -G Ninja "${args[@]}" >/dev/null
    printf '%s\n' "$wanted" >"$b/.configured-with"
  fi
  echo "build: $tree${target:+ ($target)}"
  cmake --build "$b" -j "$jobs" ${target:+--target "$target"}
done
