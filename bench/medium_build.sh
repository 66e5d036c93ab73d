#!/usr/bin/env bash
# Time of "setupmedium build" for a medium with a 300 MB installer against
# `zip -P` packing the same files into an archive with the same password
# (traditional encryption, deflate level 6 both). The installer is half
# text-like, half random, like a packed installer with resources.
#   bench/medium_build.sh [RUNS] [MB]   (default 3 runs, the best counts; 300 MB)
# Needs the native tree (scripts/build.sh native). Prints both times and
# the ratio (setupmedium / zip; below 1 means setupmedium is faster).
set -euo pipefail
runs=${1:-3}
megabytes=${2:-300}
source "$(dirname "$0")/medium_description.sh" medium_build.sh
# The medium's password, from the program's one place for it.
password=$(sed -n 's/.*kArchivePassword\[\] = "\(.*\)";/\1/p' "$root/src/app/core/MediumNames.h")
python3 - "$work/desc/installer.exe" "$megabytes" <<'PY'
import os, random, sys
path, mb = sys.argv[1], int(sys.argv[2])
rng = random.Random(4711)
words = [b"Installation", b"Datei", b"Ordner", b"Setup", b"Komponente", b"Registrierung"]
with open(path, "wb") as f:
    f.write(b"MZ")
    block = 1 << 20
    for i in range(mb):
        if i % 2:
            f.write(os.urandom(block))
        else:
            line = b" ".join(rng.choice(words) for _ in range(12)) + b"\r\n"
            f.write((line * (block // len(line) + 1))[:block])
PY
printf 'MZ' > "$work/desc/Setup.exe"
cp "$work/desc/Setup.exe" "$work/desc/XceedZip.dll"

best() { sort -n | head -1; }
elapsed() { local s; s=$(date +%s.%N); "$@" >/dev/null 2>>"$work/errors" || { cat "$work/errors" >&2; exit 1; }; echo "$(date +%s.%N) - $s" | bc; }

# The same files for zip: what setupmedium packs.
"$setupmedium" build --quiet "$work/desc/medium.toml" "$work/medium"
mkdir "$work/files"
(cd "$work/files" && unzip -qq -P "$password" "$work/medium/_Setup.lib")
tool=$(for _ in $(seq "$runs"); do rm -rf "$work/medium"; elapsed "$setupmedium" build --quiet "$work/desc/medium.toml" "$work/medium"; done | best)
zip=$(for _ in $(seq "$runs"); do rm -f "$work/z.zip"; (cd "$work/files" && elapsed zip -q -X -6 -P "$password" "$work/z.zip" Setup.inf Deutsch.lng English.lng _inst32d.exe); done | best)
echo "setupmedium build: ${tool} s ($(stat -c %s "$work/medium/_Setup.lib") bytes)"
echo "zip -P:            ${zip} s ($(stat -c %s "$work/z.zip") bytes)"
echo "ratio: $(echo "scale=2; $tool / $zip" | bc)"
