#!/usr/bin/env bash
# Peak memory and time of Setup.exe (under Wine) for a medium whose
# installer entry is large: the installer stand-in padded to SIZE MB with
# random bytes (a program with trailing data still starts), packed as
# "_Setup.lib" is (traditional encryption). A run with the unpadded
# installer gives the fixed part (about 7 s of progress and pause); the
# difference, per 100 MB, is the time of copying the archive and
# extracting the installer. The archive's copy alone is then timed side by
# side with CopyFileA (bench/archive_copy_driver.cpp, the program's own copy
# loop), and the extraction is the rest.
#   bench/setup_memory.sh [SIZE_MB] [RUNS]   (default 300 MB, 2 runs; the best counts)
# Needs the x86_64 and native build trees (scripts/build.sh x86_64 native).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size_mb=${1:-300}
runs=${2:-2}
x64="$root/build/x86_64"
setupmedium="$root/build/native/tools/setupmedium/setupmedium"
for f in "$x64/src/app/Setup.exe" "$x64/components/XceedZip.dll" \
         "$x64/tests/fixtures/installer/test_installer.exe" "$setupmedium"; do
  [ -f "$f" ] || { echo "setup_memory.sh: missing $f (build x86_64, native)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/setup-memory.XXXXXX)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

driver="$work/setup_memory_driver.exe"
x86_64-w64-mingw32-g++-posix -O2 -static -o "$driver" "$root/bench/setup_memory_driver.cpp" -lpsapi
copier="$work/archive_copy_driver.exe"
x86_64-w64-mingw32-g++-posix -Os -static -I"$root/src" -o "$copier" "$root/bench/archive_copy_driver.cpp"

installer="$x64/tests/fixtures/installer/test_installer.exe"
cp "$installer" "$work/small.exe"
cp "$installer" "$work/large.exe"
head -c $((size_mb << 20)) /dev/urandom >>"$work/large.exe"
# The media, made as authors make them: the starter description with the
# x86_64 program files and no splash picture.
"$setupmedium" init "$work/desc" >/dev/null
for kind in small large; do
  sed -e "s|^setup_exe = .*|setup_exe = \"$x64/src/app/Setup.exe\"|" \
      -e "s|^component = .*|component = \"$x64/components/XceedZip.dll\"|" \
      -e "s|^installer = .*|installer = \"$work/$kind.exe\"|" -e 's/^splash = .*//' \
      "$work/desc/medium.toml" >"$work/desc/$kind.toml"
  "$setupmedium" build --quiet "$work/desc/$kind.toml" "$work/medium-$kind" >/dev/null
done
echo "installer entry: $(du -m "$work/large.exe" | cut -f1) MB (archive $(du -m "$work/medium-large/_Setup.lib" | cut -f1) MB)"

set +e
source "$root/scripts/wine-env.sh"
set -e
trap 'setup_wine_env_stop; cleanup' EXIT

winpath() { echo "Z:${1//\//\\}"; }
calc() { awk "BEGIN { printf \"%.${2:-2}f\", $1 }"; }
best() { sort -n | head -1; }
declare -A seconds peak
for run in $(seq "$runs"); do
  for kind in small large; do
    rm -rf "$work/temp-$kind"
    mkdir "$work/temp-$kind"
    "$SETUP_WINE" "$driver" "$(winpath "$x64/src/app/Setup.exe")" \
      "$(winpath "$work/medium-$kind")" "$(winpath "$work/temp-$kind")" | tr -d '\r' >"$work/run.log"
    s=$(awk '/^seconds/ {print $2}' "$work/run.log")
    p=$(awk '/^peak_working_set_kb/ {print $2}' "$work/run.log")
    c=$(awk '/^exit_code/ {print $2}' "$work/run.log")
    [ "$c" = 259 ] || { echo "setup_memory.sh: Setup.exe ended with $c" >&2; exit 1; }
    cmp -s "$work/$kind.exe" "$work"/temp-$kind/Setup.*/_inst32d.exe ||
      { echo "setup_memory.sh: the extracted installer differs" >&2; exit 1; }
    seconds[$kind]+="$s "
    peak[$kind]+="$p "
    echo "run $run, $kind installer: $s s, peak working set $(calc "$p / 1024" 1) MB"
  done
done
small_best=$(printf '%s\n' ${seconds[small]} | best)
large_best=$(printf '%s\n' ${seconds[large]} | best)
large_peak=$(printf '%s\n' ${peak[large]} | sort -n | tail -1)
small_peak=$(printf '%s\n' ${peak[small]} | sort -n | tail -1)
echo "peak working set: $(calc "$large_peak / 1024" 1) MB with the ${size_mb} MB installer," \
     "$(calc "$small_peak / 1024" 1) MB without"
echo "time per 100 MB (copy + extraction): $(calc "($large_best - $small_best) * 100 / $size_mb") s" \
     "(best runs: $large_best s vs $small_best s)"
mkdir -p "$work/copies"
"$SETUP_WINE" "$copier" "$(winpath "$work/medium-large/_Setup.lib")" \
  "$(winpath "$work/copies")" | tr -d '\r' >"$work/copy.log"
archive_mb=$(du -m "$work/medium-large/_Setup.lib" | cut -f1)
own=$(awk '/^own_copy_seconds/ {print $2}' "$work/copy.log")
copyfile=$(awk '/^copyfile_seconds/ {print $2}' "$work/copy.log")
echo "per 100 MB of archive: the run's own copy $(calc "$own * 100 / $archive_mb") s," \
     "CopyFileA $(calc "$copyfile * 100 / $archive_mb") s (best of 3 each, alternating)"
echo "per 100 MB of installer: copy $(calc "$own * 100 / $size_mb") s," \
     "extraction $(calc "($large_best - $small_best - $own) * 100 / $size_mb") s"
