#!/usr/bin/env bash
# The install tree of a native build: what "cmake --install" puts where, the
# tool's conventions, and the README's walk-through from the installed tool
# (with the Windows program files when the Windows trees are built).
# Usage: install_test.sh NATIVE_TREE WORK
set -euo pipefail
tree=$1 work=$2
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
cmake --install "$tree" --prefix "$prefix" --component tool >/dev/null
expected=(bin/setupmedium share/doc/setupmedium/README.md share/setupmedium/preview/preview.sh
          share/setupmedium/preview/wine-env.sh share/setupmedium/preview/wine-paths.sh
          share/setupmedium/preview/wine-run)
programs=0
if cmake --install "$tree" --prefix "$work/probe" --component programs >/dev/null 2>&1; then
  programs=1
  cmake --install "$tree" --prefix "$prefix" --component programs >/dev/null
  expected+=(share/setupmedium/i686/Setup.exe share/setupmedium/i686/XceedZip.dll
             share/setupmedium/x86_64/Setup.exe share/setupmedium/x86_64/XceedZip.dll
             share/setupmedium/preview/preview-runner.exe)
else
  echo "no Windows program files (the Windows trees are not built): the tool alone is checked"
fi
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)

tool=$prefix/bin/setupmedium
"$tool" --version | grep -qx 'setupmedium [0-9][0-9.]*'
"$tool" --help | grep -q '^Usage: setupmedium '
if "$tool" bulid x y 2>"$work/unknown.txt"; then exit 1; fi
grep -q 'unknown command "bulid"' "$work/unknown.txt"

cd "$work"
"$tool" init my-medium >/dev/null
if [ $programs = 0 ]; then
  grep -qx 'setup_exe = "Setup.exe"' my-medium/medium.toml
  exit 0
fi
grep -qx "setup_exe = \"$prefix/share/setupmedium/i686/Setup.exe\"" my-medium/medium.toml
grep -qx "component = \"$prefix/share/setupmedium/i686/XceedZip.dll\"" my-medium/medium.toml
# The walk-through, with a stand-in installer and no splash picture.
cp "$prefix/share/setupmedium/i686/Setup.exe" my-medium/installer.exe
sed -i '/^splash = /d' my-medium/medium.toml
"$tool" build --quiet my-medium/medium.toml out/medium
"$tool" check out/medium >"$work/check.txt" || { cat "$work/check.txt"; exit 1; }
