#!/usr/bin/env bash
# The Windows build of setupmedium under Wine against the native one: the
# Windows build makes a medium from the sample description, a few faults
# are planted, and both builds check it; their JSON reports must be equal
# but for the medium's path.
# Usage: compare_check.sh WINDOWS_EXE NATIVE_EXE SETUP_EXE COMPONENT INSTALLER SAMPLE WORK
# Expects DISPLAY and WINEPREFIX from scripts/wine-env.sh.
set -euo pipefail
windows=$1 native=$2 setup_exe=$3 component=$4 installer=$5 sample=$6 work=$7
wine() { "$(dirname "$0")/../../scripts/wine-run" "$windows" "$@"; }

source "$(dirname "$0")/test_description.sh"
fresh_description "$sample" "$setup_exe" "$component" "$installer" "$work"
wine build --quiet "$(winpath "$work/desc/medium.toml")" "$(winpath "$work/medium")"
# Faults: a JPEG that is none, a metafile that is never shown.
printf '\xff\xd8\xff\xe0 not a picture' >"$work/medium/Setup.jpg"
printf 'not a metafile' >"$work/medium/Setup.wmf"

set +e
"$native" check --json "$work/medium" | sed 1d >"$work/native.json"
native_status=${PIPESTATUS[0]}
wine check --json "$(winpath "$work/medium")" | tr -d '\r' | sed 1d >"$work/windows.json"
windows_status=${PIPESTATUS[0]}
set -e
echo "native exit $native_status, windows exit $windows_status"
diff "$work/native.json" "$work/windows.json"
[ "$native_status" = "$windows_status" ] && [ "$native_status" = 2 ]
