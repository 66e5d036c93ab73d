#!/usr/bin/env bash
# setupmedium preview DIR OUTDIR: runs the medium's own Setup.exe under Wine
# on a virtual 1024 x 768 screen (a throw-away prefix, wine-env.sh) through
# preview-runner.exe, which reads every message box and answers it with OK
# once it has been shot, and writes into OUTDIR:
#   shot-NN.png   the screen about once a second
#   report.txt    the exit code and what it means, the text of every box,
#                 the windows that came up by caption, the command line the
#                 installer was started with, warnings
# Exit code: 0 the installer was started, 1 it was started with a warning
# (its argument is split at blanks), 2 Setup.exe failed or started no
# installer, or the preview could not run.
# Installs nothing: needs Wine, Xvfb, ImageMagick's import and xwininfo
# (scripts/bootstrap.sh installs them).
#
# Found beside this script when installed (share/setupmedium/preview), else
# in the source and build trees: wine-env.sh, wine-paths.sh, wine-run,
# preview-runner.exe, and for an i686 medium the x86_64 Setup.exe and
# XceedZip.dll (share/setupmedium/x86_64).
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: setupmedium preview DIR OUTDIR" >&2; exit 2; }
fail() { echo "setupmedium preview: $*" >&2; exit 2; }
[ -d "$1" ] || fail "no folder $1"
medium=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
if [ -f "$here/wine-env.sh" ]; then
  scripts=$here runner=$here/preview-runner.exe
  x64_setup=$here/../x86_64/Setup.exe x64_component=$here/../x86_64/XceedZip.dll
else
  root=$(cd "$here/../.." && pwd)
  scripts=$root/scripts runner=$root/build/x86_64/tools/setupmedium/preview-runner.exe
  x64_setup=$root/build/x86_64/src/app/Setup.exe x64_component=$root/build/x86_64/components/XceedZip.dll
fi
runner=${SETUPMEDIUM_PREVIEW_RUNNER:-$runner}
for tool in Xvfb import xwininfo; do
  command -v "$tool" >/dev/null || fail "needs $tool"
done
[ -f "$runner" ] || fail "needs $runner (the x86_64 build of tools/setupmedium)"
[ -f "$medium/Setup.exe" ] || fail "no Setup.exe in $medium"
rm -rf "$out"/shot-*.png "$out/report.txt" "$out/medium-x86_64"

notes=()
# The machine a Windows program is built for: the PE header's first field.
machine() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$pe" ] && od -An -tx2 -j$((pe + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
run=$medium
if [ "$(machine "$medium/Setup.exe")" = 014c ]; then
  notes+=("Setup.exe is the i686 (32-bit) build: 32-bit programs cannot run on this machine (64-bit Wine only).")
  if [ -f "$x64_setup" ] && [ -f "$x64_component" ]; then
    # The x86_64 build of the same description: the same medium but for
    # the two program files.
    run=$out/medium-x86_64
    cp -R "$medium" "$run"
    cp "$x64_setup" "$run/Setup.exe"
    cp "$x64_component" "$run/XceedZip.dll"
    notes+=("Previewed instead: the same medium with the x86_64 Setup.exe and XceedZip.dll, in $run.")
  else
    {
      echo "medium:     $medium"
      printf '%s\n' "${notes[@]}"
      echo "To preview it, build the same description with program.setup_exe and program.component set"
      echo "to the x86_64 build of Setup.exe and XceedZip.dll, and preview that medium."
    } | tee "$out/report.txt"
    exit 2
  fi
fi

set +eu
source "$scripts/wine-env.sh"
set -eu
winpath() { echo "Z:$1" | tr / '\\'; }
"$scripts/wine-run" "$runner" "$(winpath "$run")" >"$out/runner.txt" 2>/dev/null &
setup=$!
declare -A seen=()
windows=() installer="" n=0
look() {  # one screenshot, the windows on screen, the installer's command line
  n=$((n + 1))
  import -display "$DISPLAY" -window root "$out/shot-$(printf %02d $n).png" 2>/dev/null || true
  local id caption program size
  # Lines of xwininfo: 0xID "Caption": ("program" "class")  WxH+X+Y ...
  while read -r id caption program size; do
    case $size in 1x1+*) continue ;; esac
    if [ -z "${seen[$id]:-}" ]; then
      seen[$id]=1
      windows+=("$(printf '%3d s  %-14s %-20s %s' "$n" "$program" "$caption" "${size%%+*}")")
    fi
  done < <(xwininfo -root -tree 2>/dev/null |
           sed -n 's/^ *\(0x[0-9a-f]*\) \(".*"\|(has no name)\): ("\([^"]*\)".*) *\([0-9]*x[0-9]*+[-0-9]*+[-0-9]*\).*/\1 \2 \3 \4/p' |
           sed 's/(has no name)/(no-caption)/' | grep -v -e ' explorer.exe ' -e ' preview-runner' |
           awk '{ id=$1; size=$NF; program=$(NF-1); $1=""; $NF=""; $(NF-1)=""; gsub(/^ +| +$/, ""); gsub(/ /, "_"); print id, $0, program, size }')
  # The installer of this run: other Wine prefixes may run theirs too.
  local pid
  for pid in $(pgrep -f '_inst32d\.exe' || true); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    installer=$({ tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null | sed 's/ *$//') || true
  done
}
while kill -0 "$setup" 2>/dev/null; do  # the runner ends Setup.exe after 120 s
  sleep 1
  look
done
wait "$setup" || true
# The installer's window after Setup.exe has ended.
for _ in 1 2 3; do sleep 1; look; done

sed -i 's/\r$//' "$out/runner.txt"
code=$(sed -n 's/^exit\t//p' "$out/runner.txt")
grep -q '^timeout' "$out/runner.txt" && code=timeout
boxes=()
while IFS=$'\t' read -r kind caption text; do
  [ "$kind" = box ] && boxes+=("\"$caption\": $text")
done <"$out/runner.txt"
status=0
case $code in
  259) said="259 (the normal end: the installer was started)" ;;
  0) said="0 (ended early, without a message: no XceedZip.dll, the component not registered, or the archive not opened)"; status=2 ;;
  1) said="1 (ended with the failure box)"; status=2 ;;
  timeout) said="none: Setup.exe still ran after 120 s and was ended"; status=2 ;;
  "") said="none (the preview could not run Setup.exe: $(head -1 "$out/runner.txt"))"; status=2 ;;
  *) said="$code"; status=2 ;;
esac
if [ -z "$installer" ] && [ "$status" = 0 ]; then
  notes+=("No installer was seen running although Setup.exe ended normally."); status=2
fi
# The installer gets the medium's folder unquoted, as it expects it: a
# folder with blanks reaches it as several arguments.
case $run in
  *' '*)
    notes+=("warning: the installer receives the medium's folder unquoted, as it expects; \"$run\" has blanks and reaches it split into several arguments: put the medium in a folder without blanks.")
    [ "$status" = 2 ] || status=1 ;;
esac
{
  echo "medium:     $medium"
  [ "$run" = "$medium" ] || echo "previewed:  $run"
  echo "exit code:  $said"
  echo "message boxes (caption: text):"
  [ ${#boxes[@]} -gt 0 ] || echo "  none"
  for b in "${boxes[@]}"; do echo "  $b"; done
  echo "windows that came up (seconds after the start, program, caption, size):"
  for w in "${windows[@]}"; do echo "  $w"; done
  echo "installer started as: ${installer:-(not seen)}"
  for note in "${notes[@]}"; do echo "$note"; done
  echo "screenshots: $n in $out"
} | tee "$out/report.txt"
exit $status
