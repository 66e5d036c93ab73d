#!/usr/bin/env bash
# Makes the seed corpora of the value stream fuzzers from readable
# descriptions (tools/samples and fuzz/seeds) with the value writer.
# Usage: fuzz/make_corpus.sh [build tree with tools/setupmedium/setupmedium]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
setupmedium=${1:-$root/build/native}/tools/setupmedium/setupmedium
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$root/fuzz/corpus/reader" "$root/fuzz/corpus/language" "$root/fuzz/corpus/inspect"

for description in "$root"/tools/samples/*.txt "$root"/fuzz/seeds/*.txt; do
  name=$(basename "$description" .txt)
  "$setupmedium" inspect "$description" --write "$scratch/$name"
done

# Language files as they are.
for name in Deutsch.lng English.lng language_escapes; do
  cp "$scratch/$name" "$root/fuzz/corpus/language/$name"
done

# Inspector inputs: every value stream as it is.
for name in Setup.inf Deutsch.lng English.lng nested language_escapes; do
  cp "$scratch/$name" "$root/fuzz/corpus/inspect/$name"
done

# Reader inputs: [chunk selector] [operation count] [operations] [stream].
#   operations: 0 signature, 1 int, 2 str, 3 bool, 4 symbol, 5 enter list,
#   6 at list end, 7 leave list, 8 pass value, 9 step back one byte
ops() { printf '%b' "$1"; }
for name in Setup.inf Deutsch.lng nested language_escapes; do
  for chunk in 0 1 2; do
    {
      ops "\\x0$chunk\\x0e"
      ops '\x00\x01\x09\x02\x03\x02\x02\x02\x02\x02\x01\x03\x03\x03'
      cat "$scratch/$name"
    } > "$root/fuzz/corpus/reader/${name}_$chunk"
  done
done
{
  ops '\x02\x0a\x00\x01\x05\x08\x08\x06\x07\x07\x05\x04'
  cat "$scratch/nested"
} > "$root/fuzz/corpus/reader/nested_pass"
{
  ops '\x01\x0c\x00\x02\x04\x01\x05\x06\x01\x02\x01\x02\x01\x02'
  cat "$scratch/Deutsch.lng"
} > "$root/fuzz/corpus/reader/language_steps"
