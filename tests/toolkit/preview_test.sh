#!/usr/bin/env bash
# setupmedium preview of a failing medium in a folder with a blank: the
# language file Setup.inf names is taken out of the archive, so Setup.exe
# ends with its failure box. The preview must exit 2, quote the box and warn
# that the installer would get the folder split.
# Usage: preview_test.sh NATIVE_SETUPMEDIUM SETUP_EXE COMPONENT INSTALLER RUNNER SAMPLE WORK
set -euo pipefail
native=$1 setup_exe=$2 component=$3 installer=$4 runner=$5 sample=$6 work=$7
source "$(dirname "$0")/test_description.sh"
fresh_description "$sample" "$setup_exe" "$component" "$installer" "$work"
medium="$work/a medium"
"$native" build --quiet "$work/desc/medium.toml" "$medium"
zip -q -d "$medium/_Setup.lib" Deutsch.lng

set +e
SETUPMEDIUM_PREVIEW_RUNNER=$runner "$native" preview "$medium" "$work/preview"
status=$?
set -e
report=$work/preview/report.txt
[ "$status" = 2 ] || { echo "preview exit $status, expected 2"; exit 1; }
grep -q '^exit code:  1 (ended with the failure box)' "$report"
grep -q '^  "Anwendungsfehler": .*[a-z]' "$report"
grep -q "^warning: the installer receives the medium's folder unquoted" "$report"
grep -q '^installer started as: (not seen)' "$report"
