#!/usr/bin/env bash
# Packs files into a zip archive protected with the medium's password.
# Usage: scripts/pack-archive.sh OUT.zip [--aes] [--store] FILE...
#   default  traditional (PKWARE) encryption, deflated     (zip -P)
#   --aes    AES-256 encryption, deflated                   (7z, p7zip-full)
#   --store  entries stored instead of deflated
# Entries are named after the files' base names (no folders); OUT.zip is
# replaced. The password is "K470395", or $PACK_ARCHIVE_PASSWORD when set.
set -euo pipefail

usage() { echo "usage: pack-archive.sh OUT.zip [--aes] [--store] FILE..." >&2; exit 2; }
[ $# -ge 2 ] || usage
out=$1; shift
aes=0; store=0
files=()
for a in "$@"; do
  case $a in
    --aes) aes=1 ;;
    --store) store=1 ;;
    -*) usage ;;
    *) files+=("$a") ;;
  esac
done
[ ${#files[@]} -gt 0 ] || usage
password=${PACK_ARCHIVE_PASSWORD:-K470395}

# Collect the files flat in a staging folder so both packers see base names.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
names=()
for f in "${files[@]}"; do
  [ -f "$f" ] || { echo "pack-archive.sh: no such file: $f" >&2; exit 1; }
  name=$(basename "$f")
  ln -f "$f" "$stage/$name" 2>/dev/null || cp "$f" "$stage/$name"
  names+=("$name")
done

case $out in /*) ;; *) out="$PWD/$out" ;; esac
mkdir -p "$(dirname "$out")"
rm -f "$out"
if [ $aes -eq 1 ]; then
  level=5; [ $store -eq 1 ] && level=0
  (cd "$stage" && 7z a -tzip -bso0 -bsp0 -mem=AES256 -mx="$level" -p"$password" "$out" -- "${names[@]}")
else
  level=-6; [ $store -eq 1 ] && level=-0
  (cd "$stage" && zip -q -X "$level" -P "$password" "$out" -- "${names[@]}")
fi
