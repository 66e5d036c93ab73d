#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine needs to build and test Setup,
# then builds the third-party libraries from Debian's source packages into .deps/.
# Safe to run again: installed packages and built libraries are kept.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/.deps"
jobs=$(nproc 2>/dev/null || echo 2)

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi

packages=(
  cmake make ninja-build pkg-config dpkg-dev
  g++ clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix
  binutils-mingw-w64 mingw-w64-tools libz-mingw-w64-dev
  g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32
  g++-multilib qemu-user libzip-dev:i386 zlib1g-dev:i386 nettle-dev:i386 libssl-dev:i386
  wine64 wine xvfb x11-utils xdotool
  nasm googletest libgtest-dev libbenchmark-dev
  libzip-dev libcli11-dev libtomlplusplus-dev libssl-dev osslsigncode
  zip unzip p7zip-full python3 libjpeg-turbo-progs imagemagick
  libzip-dev zlib1g-dev nettle-dev
  fonts-liberation fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

enable_deb_src() {
  local changed=0
  if [ -f /etc/apt/sources.list.d/debian.sources ] &&
     grep -q '^Types: deb$' /etc/apt/sources.list.d/debian.sources; then
    $sudo sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
    changed=1
  fi
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list &&
     ! grep -q '^deb-src ' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $sudo tee -a /etc/apt/sources.list >/dev/null
    changed=1
  fi
  return $changed
}

need_update=0
# native32 links the 32-bit builds of the host libraries (Debian multiarch).
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  need_update=1
fi
enable_deb_src || need_update=1
if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  echo "bootstrap: apt-get update"
  $sudo apt-get update -q >/dev/null
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi

# ---------------------------------------------------------------------------
# Third-party libraries, built from Debian's source packages.
# Layout: .deps/<package>-<version>/<target>/{include,lib,bin}
# ---------------------------------------------------------------------------
mkdir -p "$deps/src"

fetch_source() { # package -> prints the unpacked source folder
  local pkg=$1 ver dir
  ver=$(apt-cache showsrc "$pkg" | awk '/^Version:/ {print $2; exit}')
  ver=${ver#*:}           # drop the epoch
  local upstream=${ver%-*}
  dir="$deps/src/$pkg-$upstream"
  if [ ! -d "$dir" ]; then
    if ! (cd "$deps/src" && apt-get source -q "$pkg" >/dev/null 2>&1); then
      $sudo apt-get update -q >/dev/null
      (cd "$deps/src" && apt-get source -q "$pkg" >/dev/null)
    fi
  fi
  echo "$dir"
}

toolchain_args() { # target -> cmake arguments
  case $1 in
    native) echo "-DCMAKE_POSITION_INDEPENDENT_CODE=ON" ;;
    i386-shipped) echo "-DCMAKE_TOOLCHAIN_FILE=$root/cmake/native32.cmake -DCMAKE_CROSSCOMPILING_EMULATOR=" ;;
    i686-shipped) echo "-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-i686.cmake -DCMAKE_CROSSCOMPILING_EMULATOR=" ;;
    *) echo "-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-$1.cmake -DCMAKE_CROSSCOMPILING_EMULATOR=" ;;
  esac
}

# libjpeg-turbo's settings per target. i686-shipped is the build shipped on
# the medium: there the library is built for size (no SIMD, whose dispatch
# also pulls in the compressor's routines; no getenv/sscanf; no unwind
# tables, about 10 KB, as no exception ever passes through its C frames:
# its failures jump back to the program's frame), since a splash picture is
# decoded once; and without the decoder capabilities the program never asks
# for (jpeg_omitted). i386-shipped is the 32-bit Linux build of the native32
# tree: the same settings as the shipped one, so its tests run the code
# paths, structure sizes and missing unwind tables that 32-bit Windows gets.
jpeg_options() { # target
  local common="-DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF"
  common+=" -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF -DWITH_ARITH_DEC=OFF -DWITH_ARITH_ENC=OFF"
  case $1 in
    i686-shipped|i386-shipped) echo "$common -DWITH_SIMD=OFF -DCMAKE_BUILD_TYPE=MinSizeRel" ;;
    *) echo "$common -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DCMAKE_BUILD_TYPE=Release" ;;
  esac
}
jpeg_cflags() { # target
  case $1 in
    i686-shipped) echo "-ffunction-sections -fdata-sections -DNO_GETENV -fno-asynchronous-unwind-tables" ;;
    # The library's NO_GETENV branch uses errno without including it off Windows.
    i386-shipped) echo "-ffunction-sections -fdata-sections -DNO_GETENV -fno-asynchronous-unwind-tables -include errno.h" ;;
    *) echo "" ;;
  esac
}

# Decoder capabilities (jmorecfg.h) a target's build leaves out. The program
# decodes at full size only (no output scaling through the inverse DCT),
# with fancy upsampling (never the merged one) and with the floating-point
# DCT, or the fast integer one for best speed (never the accurate integer
# one, whose tables only the scaled inverse DCTs need besides).
jpeg_omitted() { # target
  case $1 in
    i686-shipped|i386-shipped)
      echo "IDCT_SCALING_SUPPORTED UPSAMPLE_MERGING_SUPPORTED DCT_ISLOW_SUPPORTED" ;;
  esac
}

build_jpeg() { # source target out
  local src=$1 target=$2 out=$3
  local b="$deps/build/$(basename "$src")-$target"
  local options; options=$(jpeg_options "$target")
  local omitted; omitted=$(jpeg_omitted "$target")
  rm -rf "$b" "$b-source"
  if [ -n "$omitted" ]; then
    # A copy of the source with the capabilities switched off: the shared
    # source stays as Debian ships it.
    cp -a "$src" "$b-source"
    src="$b-source"
    for capability in $omitted; do
      grep -q "^#define $capability\b" "$src/jmorecfg.h" ||
        { echo "bootstrap: jmorecfg.h has no $capability" >&2; return 1; }
      sed -i "s/^#define $capability\b/#undef  $capability/" "$src/jmorecfg.h"
    done
  fi
  # shellcheck disable=SC2046,SC2086
  cmake -Wno-dev -S "$src" -B "$b" -G Ninja $(toolchain_args "$target") -DCMAKE_INSTALL_PREFIX="$out" \
    $options -DCMAKE_C_FLAGS="$(jpeg_cflags "$target")" \
    -DCMAKE_INSTALL_LIBDIR="$out/lib" -DCMAKE_INSTALL_INCLUDEDIR="$out/include" >/dev/null
  cmake --build "$b" -j "$jobs" >/dev/null
  cmake --install "$b" >/dev/null
  rm -rf "$b" "$b-source"
}

build_zip() { # target
  local src=$1 target=$2 out=$3
  local b="$deps/build/$(basename "$src")-$target"
  local extra=""
  case $target in
    native) extra="-DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF" ;;
    *) extra="-DENABLE_WINDOWS_CRYPTO=ON -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF" ;;
  esac
  rm -rf "$b"
  # shellcheck disable=SC2046,SC2086
  cmake -S "$src" -B "$b" -G Ninja $(toolchain_args "$target") \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out" -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_COMMONCRYPTO=OFF \
    $extra -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF >/dev/null
  cmake --build "$b" -j "$jobs" >/dev/null
  cmake --install "$b" >/dev/null
  rm -rf "$b"
}

build_for_targets() { # package builder targets...
  local pkg=$1 builder=$2; shift 2
  local src; src=$(fetch_source "$pkg")
  local key; key=$(basename "$src")
  for target in "$@"; do
    local out="$deps/$key/$target"
    # The stamp holds the settings the build was made with: new settings rebuild.
    local stamp="$builder $target"
    if [ "$builder" = build_jpeg ]; then
      stamp+=" $(jpeg_options "$target") $(jpeg_cflags "$target")"
      local omitted; omitted=$(jpeg_omitted "$target")
      [ -z "$omitted" ] || stamp+=" omitted: $omitted"
    fi
    if [ -f "$out/.built" ] && [ "$(cat "$out/.built")" = "$stamp" ]; then continue; fi
    echo "bootstrap: building $key for $target"
    rm -rf "$out"
    "$builder" "$src" "$target" "$out"
    echo "$stamp" > "$out/.built"
  done
  ln -sfn "$key" "$deps/$pkg"
}

build_for_targets libjpeg-turbo build_jpeg x86_64 i686-shipped native i386-shipped
build_for_targets libzip build_zip x86_64 i686

echo "bootstrap: ready (.deps: $(ls "$deps" | grep -v -e src -e build | tr '\n' ' '))"
