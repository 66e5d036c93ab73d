#!/usr/bin/env bash
# Signed media through the toolkit: `build` with [signing] signs the three
# programs (PKCS#12 with its password from the environment, or a PEM pair)
# and leaves its inputs as they were, and `check` finds nothing to mend;
# then each planted fault (a part of another publisher, an unsigned part, a
# part or Setup.exe changed after signing) is an error, and an unsigned
# Setup.exe with signed parts is none; a build stopped while it signs leaves
# nothing behind. With a Windows setupmedium, it must
# report the signed medium as the native one does.
# Usage: signed_media_test.sh NATIVE_EXE SIGNED_DIR SETUP_EXE COMPONENT INSTALLER SAMPLE WORK [WINDOWS_EXE]
set -euo pipefail
native=$(realpath "$1") signed=$(realpath "$2") setup_exe=$3 component=$4 installer=$5 sample=$6
work=$(realpath -m "$7") windows=${8:-}
source "$(dirname "$0")/test_description.sh"
rm -rf "$work"
mkdir -p "$work/in"
cp "$setup_exe" "$work/in/Setup.exe"
cp "$component" "$work/in/XceedZip.dll"
cp "$installer" "$work/in/installer.exe"
(cd "$work/in" && md5sum Setup.exe XceedZip.dll installer.exe >../inputs.md5)
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# describe NAME SETUP COMPONENT INSTALLER [SIGNING LINES...]: a description in $work/NAME.toml
describe() {
  local name=$1
  { sed '/^splash = /d; s|^setup_exe = .*|setup_exe = "'"$2"'"|; s|^component = .*|component = "'"$3"'"|;
         s|^installer = .*|installer = "'"$4"'"|' "$sample"
    shift 4
    if [ $# -gt 0 ]; then printf '%s\n' "[signing]" "$@"; fi
  } >"$work/$name.toml"
}
# expect NAME STATUS PATTERN: check of $work/NAME ends with STATUS and its report matches PATTERN
expect() {
  local status=0
  "$native" check "$work/$1" >"$work/$1.txt" || status=$?
  [ "$status" = "$2" ] || fail "$1: check ended with $status, not $2"
  grep -Eq "$3" "$work/$1.txt" || fail "$1: no line matching $3"
  [ "$failed" = 0 ] || cat "$work/$1.txt"
}

in=$work/in
describe p12 "$in/Setup.exe" "$in/XceedZip.dll" "$in/installer.exe" \
  "certificate = \"$signed/publisher.p12\"" 'password_env = "SETUPMEDIUM_TEST_PASSWORD"'
SETUPMEDIUM_TEST_PASSWORD=test "$native" build --quiet "$work/p12.toml" "$work/p12"
expect p12 0 '_inst32d.exe: signed by Setup.exe.s publisher "Setup Test Publisher"'
(cd "$work/in" && md5sum --quiet -c ../inputs.md5) || fail "the inputs were changed"
describe pem "$in/Setup.exe" "$in/XceedZip.dll" "$in/installer.exe" \
  "certificate = \"$signed/publisher.pem\"" "key = \"$signed/publisher.key\""
"$native" build --quiet "$work/pem.toml" "$work/pem"
expect pem 0 'XceedZip.dll: signed by Setup.exe.s publisher "Setup Test Publisher"'
status=0
"$native" build --quiet "$work/p12.toml" "$work/nopass" 2>"$work/nopass.txt" || status=$?
[ "$status" != 0 ] && grep -q SETUPMEDIUM_TEST_PASSWORD "$work/nopass.txt" || fail "a missing password is not named"

# Stopped while signing a large installer: the signed copies and the
# password file go with the unfinished build. (SIGTERM: a job started with &
# in a script ignores SIGINT.)
mkdir -p "$work/tmp"
cp "$in/installer.exe" "$work/big.exe" && truncate -s 1G "$work/big.exe"
describe big "$in/Setup.exe" "$in/XceedZip.dll" "$work/big.exe" \
  "certificate = \"$signed/publisher.p12\"" 'password_env = "SETUPMEDIUM_TEST_PASSWORD"'
SETUPMEDIUM_TEST_PASSWORD=test TMPDIR="$work/tmp" "$native" build --quiet "$work/big.toml" "$work/big" 2>/dev/null &
pid=$!
for _ in $(seq 6000); do [ -e "$work"/tmp/setupmedium-signing-*/installer.exe ] && break; sleep 0.02; done
kill -TERM $pid || true; status=0; wait $pid || status=$?
[ "$status" = 143 ] || fail "the stopped build ended with $status"
[ -z "$(ls -A "$work/tmp")" ] || fail "the stopped build left $(ls "$work/tmp")"
rm -f "$work/big.exe"

# Planted faults, packed without signing.
printf 'X' >"$work/one-byte"
cp "$signed/installer.exe" "$work/changed.exe"
dd if="$work/one-byte" of="$work/changed.exe" bs=1 seek=80 conv=notrunc status=none
cp "$signed/Setup.exe" "$work/changed-setup.exe"
dd if="$work/one-byte" of="$work/changed-setup.exe" bs=1 seek=80 conv=notrunc status=none
while IFS='|' read -r name setup part_component part_installer status pattern; do
  describe "$name" "$setup" "$part_component" "$part_installer"
  # build refuses a medium with errors; --force puts the planted fault in
  # place for check to find.
  "$native" build --quiet --force "$work/$name.toml" "$work/$name" >/dev/null
  expect "$name" "$status" "$pattern"
done <<CASES
other-component|$signed/Setup.exe|$signed/XceedZip.other.dll|$signed/installer.exe|2|error +XceedZip.dll: signed by "Setup Test Other".*another publisher
other-installer|$signed/Setup.exe|$signed/XceedZip.dll|$signed/installer.other.exe|2|error +_inst32d.exe: signed by "Setup Test Other".*another publisher
unsigned-installer|$signed/Setup.exe|$signed/XceedZip.dll|$in/installer.exe|2|error +_inst32d.exe: not signed, but Setup.exe is
changed-installer|$signed/Setup.exe|$signed/XceedZip.dll|$work/changed.exe|2|error +_inst32d.exe: signature does not verify
changed-setup|$work/changed-setup.exe|$signed/XceedZip.dll|$signed/installer.exe|2|error +Setup.exe: signature does not verify
unsigned-setup|$in/Setup.exe|$signed/XceedZip.other.dll|$in/installer.exe|0|ok +Setup.exe: not signed
CASES

if [ -n "$windows" ]; then
  for name in p12 other-installer changed-installer; do
    "$native" check --json "$work/$name" | sed 1d >"$work/$name.native.json" || true
    "$(dirname "$0")/../../scripts/wine-run" "$windows" check --json "$(winpath "$work/$name")" |
      tr -d '\r' | sed 1d >"$work/$name.windows.json" || true
    diff "$work/$name.native.json" "$work/$name.windows.json" || fail "$name: the Windows build reports otherwise"
  done
fi
exit $failed
