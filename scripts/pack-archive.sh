#!/usr/bin/env bash
# Packs files into a zip archive protected with the medium's password, with
# the archive writer of setupmedium (the test archives' maker, built natively).
# Usage: scripts/pack-archive.sh OUT.zip [--aes] [--store] FILE...
#   default  traditional (PKWARE) encryption, deflated
#   --aes    AES-256 encryption, deflated
#   --store  entries stored instead of deflated
# Entries are named after the files' base names; OUT.zip is replaced.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 2 ] || { echo "usage: pack-archive.sh OUT.zip [--aes] [--store] FILE..." >&2; exit 2; }
bash "$root/scripts/build.sh" native:make_test_archives >/dev/null
exec "$root/build/native/tests/fixtures/archives/make_test_archives" --pack "$@"
