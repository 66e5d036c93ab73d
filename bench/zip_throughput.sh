#!/usr/bin/env bash
# Extraction throughput of XceedZip.dll (under Wine) against the `unzip`
# command, on the same ~50 MB archive with traditional encryption (as
# "_Setup.lib" is packed), made here and thrown away afterwards.
#   bench/zip_throughput.sh [RUNS] [--aes]   (default 5 runs; the best counts;
#       --aes: AES-256 instead, against `7z x`, as `unzip` cannot read AES)
# Needs the x86_64 build tree (scripts/build.sh x86_64). Prints MB/s of
# uncompressed output for both and their ratio (component / unzip; above 1
# means the component is faster). The component's time is measured inside
# the Windows process around Unzip (Wine's file I/O included, process start
# not); `unzip` is timed as a whole process.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The medium's password, from the program's one place for it.
password=$(sed -n 's/.*kArchivePassword\[\] = "\(.*\)";/\1/p' "$root/src/app/core/MediumNames.h")
runs=${1:-5}
pack_options=()
encryption="traditional encryption"
reference=unzip
reference_run() { unzip -qq -o -P "$password" "$1" -d "$2"; }
if [ "${2:-}" = --aes ]; then
  pack_options=(--aes)
  encryption="AES-256 encryption"
  reference=7z
  reference_run() { 7z x -bso0 -bsp0 -y -p"$password" -o"$2" "$1"; }
fi
dll="$root/build/x86_64/components/XceedZip.dll"
[ -f "$dll" ] || { echo "zip_throughput.sh: build the x86_64 tree first" >&2; exit 1; }

work=$(mktemp -d /tmp/zip-bench.XXXXXX)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

driver="$work/zip_bench_driver.exe"
x86_64-w64-mingw32-g++-posix -O2 -municode -static -I "$root/src" -o "$driver" "$root/bench/zip_bench_driver.cpp" \
  -lole32 -loleaut32 -luuid

# 9 files of 10 MiB, each half text-like (deflates ~4:1) and half random.
python3 - "$work/content" <<'PY'
import os, random, sys
out = sys.argv[1]
os.makedirs(out)
rng = random.Random(1)
words = [b"Installation", b"Setup", b"Datei", b"Ordner", b"weiter", b"bitte", b"warten"]
for i in range(9):
    text = bytearray()
    while len(text) < 5 << 20:
        text += b" ".join(rng.choice(words) for _ in range(12)) + b"\r\n"
    noise = rng.randbytes(5 << 20)
    with open(os.path.join(out, "file%d.bin" % i), "wb") as f:
        f.write(bytes(text[:5 << 20]) + noise)
PY
bash "$root/scripts/pack-archive.sh" "$work/bench.zip" "${pack_options[@]}" "$work"/content/*.bin
archive_mb=$(du -m "$work/bench.zip" | cut -f1)
content_bytes=$(cat "$work"/content/*.bin | wc -c)
calc() { awk "BEGIN { printf \"%.${2:-3}f\", $1 }"; }
content_mb=$(calc "$content_bytes / 1048576" 1)
echo "archive: ${archive_mb} MB packed, ${content_mb} MB unpacked, 9 entries, $encryption"

best() { sort -n | head -1; }
winpath() { echo "Z:${1//\//\\}"; }

set +e
source "$root/scripts/wine-env.sh"
set -e
trap 'setup_wine_env_stop; cleanup' EXIT

# Alternate the two so that both see the same load on a shared machine; each
# run writes into an empty folder.
unzip_times=()
xz_times=()
for run in $(seq "$runs"); do
  rm -rf "$work/out-unzip" "$work/out-xz"
  mkdir "$work/out-unzip" "$work/out-xz"
  start=$(date +%s.%N)
  reference_run "$work/bench.zip" "$work/out-unzip"
  end=$(date +%s.%N)
  unzip_times+=("$(calc "$end - $start")")

  "$root/scripts/wine-run" "$driver" "$(winpath "$dll")" "$(winpath "$work/bench.zip")" \
    "$(winpath "$work/out-xz")" "$password" 1 >"$work/xz.log"
  xz_times+=("$(awk '/^run/ {print $3}' "$work/xz.log")")
  echo "run $run: $reference ${unzip_times[-1]} s, component ${xz_times[-1]} s"
done
for f in "$work"/content/*.bin; do
  cmp "$f" "$work/out-unzip/$(basename "$f")"
  cmp "$f" "$work/out-xz/$(basename "$f")"
done
unzip_best=$(printf '%s\n' "${unzip_times[@]}" | best)
xz_best=$(printf '%s\n' "${xz_times[@]}" | best)

rate() { calc "$content_mb / $1" 1; }
echo "$reference: best of $runs: ${unzip_best} s  ($(rate "$unzip_best") MB/s)"
echo "component: best of $runs: ${xz_best} s  ($(rate "$xz_best") MB/s)"
echo "ratio (component throughput / $reference throughput): $(calc "$unzip_best / $xz_best" 2)"
