#!/usr/bin/env bash
# Peak memory of "setupmedium check" (and of the build, which checks too) on
# a medium whose installer is 1 GB of zeros, packed to about 1 MB: entries
# are read as streams, so the figure must not grow with them.
#   bench/check_memory.sh [MB]   (default 1024)
# Needs the native tree (scripts/build.sh native) and /usr/bin/time.
# Prints the maximum resident set size of each, in MB.
set -euo pipefail
megabytes=${1:-1024}
source "$(dirname "$0")/medium_description.sh" check_memory.sh
# Windows image heads are enough for the check; the installer is sparse.
python3 - "$work/desc" <<'PY'
import struct, sys
def image(library):
    head = bytearray(0x40); head[0:2] = b"MZ"; head[0x3C] = 0x40
    return bytes(head) + b"PE\0\0" + struct.pack("<H", 0x14C) + bytes(16) + \
        struct.pack("<H", 0x2102 if library else 0x0102) + bytes(64)
for name, library in (("Setup.exe", False), ("XceedZip.dll", True), ("installer.exe", False)):
    open(f"{sys.argv[1]}/{name}", "wb").write(image(library))
PY
truncate -s "${megabytes}M" "$work/desc/installer.exe"

peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'; }
build=$(peak "$setupmedium" build --quiet "$work/desc/medium.toml" "$work/medium")
check=$(peak "$setupmedium" check "$work/medium")
echo "archive: $(stat -c %s "$work/medium/_Setup.lib") bytes for a ${megabytes} MB installer"
echo "setupmedium build: peak $((build / 1024)) MB"
echo "setupmedium check: peak $((check / 1024)) MB"
