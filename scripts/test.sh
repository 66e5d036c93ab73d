#!/usr/bin/env bash
# The README's test command: installs what is missing, builds every tree, runs
# the native unit tests and corpus replays (plain, as 32-bit code under
# qemu-i386, and under sanitizers), the fuzzers for a bounded time, and the
# Windows-side tests under Wine; the i686 build is compiled, linked and its
# images checked as files (both Windows trees check theirs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/bootstrap.sh
bash scripts/build.sh native native32 asan fuzz x86_64 i686

failed=0
run() { echo "== $*"; "$@" || failed=1; }

run ctest --test-dir build/native --output-on-failure -j 2
run ctest --test-dir build/native32 --output-on-failure -j 2
run ctest --test-dir build/asan --output-on-failure -j 2
run bash scripts/fuzz.sh "${SETUP_FUZZ_SECONDS:-60}"

# Windows-side tests, under Wine on a virtual screen of their own.
(
  source scripts/wine-env.sh
  ctest --test-dir build/x86_64 --output-on-failure
) || failed=1
run ctest --test-dir build/i686 --output-on-failure

# A test must leave the machine as it found it, the null device above all.
[ -c /dev/null ] || { echo "test.sh: /dev/null is no longer the null device"; failed=1; }

if [ $failed -ne 0 ]; then
  echo "test.sh: FAILED"
  exit 1
fi
echo "test.sh: all passed"
