#!/usr/bin/env bash
# setupmedium preview DIR OUTDIR: runs the medium's own Setup.exe under Wine
# on a virtual 1024 x 768 screen (a throw-away prefix, scripts/wine-env.sh)
# and writes into OUTDIR:
#   shot-NN.png   the screen about once a second
#   report.txt    exit code, the windows that came up by caption (message
#                 boxes are confirmed with Enter once shot), the command line
#                 the installer was started with
# Installs nothing: needs Wine, Xvfb, ImageMagick's import and xdotool
# (scripts/bootstrap.sh installs them).
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: setupmedium preview DIR OUTDIR" >&2; exit 2; }
medium=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
for tool in Xvfb import xdotool; do
  command -v "$tool" >/dev/null || { echo "setupmedium preview: needs $tool" >&2; exit 2; }
done
[ -f "$medium/Setup.exe" ] || { echo "setupmedium preview: no Setup.exe in $medium" >&2; exit 2; }
rm -f "$out"/shot-*.png "$out/report.txt"

set +eu
source "$root/scripts/wine-env.sh"
set -eu
(cd "$medium" && exec "$root/scripts/wine-run" Setup.exe) >/dev/null 2>&1 &
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
    elif [ "${seen[$id]}" = 1 ]; then
      case $caption in  # a box waits for OK: confirm it after its screenshot
        '"Anwendungsfehler"' | '"OCX-ERROR"' | '"Fehler"' | '"Setup"')
          seen[$id]=2
          xdotool key --window "$id" Return 2>/dev/null || true ;;
      esac
    fi
  done < <(xwininfo -root -tree 2>/dev/null |
           sed -n 's/^ *\(0x[0-9a-f]*\) \(".*"\|(has no name)\): ("\([^"]*\)".*) *\([0-9]*x[0-9]*+[-0-9]*+[-0-9]*\).*/\1 \2 \3 \4/p' |
           sed 's/(has no name)/(no-caption)/' | grep -v ' explorer.exe ' | awk '{ id=$1; size=$NF; program=$(NF-1); $1=""; $NF=""; $(NF-1)=""; gsub(/^ +| +$/, ""); gsub(/ /, "_"); print id, $0, program, size }')
  local line
  line=$(ps -eo args 2>/dev/null | grep -a '_inst32d\.exe' | grep -v -e grep -e defunct | head -1 || true)
  [ -z "$line" ] || installer=$line
}
start=$(date +%s)
while kill -0 "$setup" 2>/dev/null && [ $(( $(date +%s) - start )) -lt 120 ]; do
  sleep 1
  look
done
set +e
wait "$setup"
code=$?
set -e
# The installer's window after Setup.exe has ended.
for _ in 1 2 3; do sleep 1; look; done
case $code in
  3) said="259 (the normal end; a Linux shell sees 3)" ;;
  0) said="0 (ended early: no XceedZip.dll or no Setup.inf)" ;;
  1) said="1 (ended with the failure box)" ;;
  *) said="$code" ;;
esac
{
  echo "medium:     $medium"
  echo "exit code:  $said"
  echo "windows that came up (seconds after the start, program, caption, size):"
  for w in "${windows[@]}"; do echo "  $w"; done
  echo "installer started as: ${installer:-(not seen)}"
  echo "screenshots: $n in $out"
} | tee "$out/report.txt"
