#!/usr/bin/env bash
# The Windows zip of setupmedium, from the two Windows trees (built first):
# bin/setupmedium.exe (the i686 build: it runs on 32- and 64-bit Windows)
# and share/setupmedium/{i686,x86_64}/ with the Setup.exe and XceedZip.dll
# of each. The Linux packages come from CPack in the native tree.
# Usage: scripts/package-windows.sh [OUTDIR]   (default: build/packages)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/packages}
for tree in i686 x86_64; do
  [ -f "$root/build/$tree/CPackConfig.cmake" ] || { echo "package-windows: build/$tree is not configured" >&2; exit 2; }
done
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$root/build/i686/CPackConfig.cmake")
name=setupmedium-$version-windows
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$root/build/i686" --prefix "$stage/$name" --component tool
cmake --install "$root/build/i686" --prefix "$stage/$name" --component programs
cmake --install "$root/build/x86_64" --prefix "$stage/$name" --component programs
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out/$name.zip"
(cd "$stage" && cmake -E tar cf "$out/$name.zip" --format=zip "$name")
echo "$out/$name.zip"
