#!/usr/bin/env bash
# Runs every libFuzzer target of build/fuzz for a bounded time on its
# committed corpus (fuzz/corpus/<name>); new inputs go to a scratch folder.
# Usage: scripts/fuzz.sh [seconds-per-target]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
status=0
for target in "$root"/build/fuzz/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target" _fuzz)
  scratch=$(mktemp -d)
  echo "fuzz: $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -print_final_stats=0 \
       "$scratch" "$root/fuzz/corpus/$name" >"$scratch.log" 2>&1; then
    tail -n 40 "$scratch.log"
    status=1
  fi
  rm -rf "$scratch" "$scratch.log"
done
exit $status
