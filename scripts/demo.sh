#!/usr/bin/env bash
# The main job: builds Setup.exe and the zip component, packs a demonstration
# installation medium, and runs Setup.exe on it under Wine on a virtual
# screen, taking screenshots of the screen during the run.
#   out/medium/        the medium: Setup.exe, XceedZip.dll, _Setup.lib, Setup.bmp
#   out/screenshots/   shot-NN.png, about one per second of the run
# Setup.exe ends with exit code 259 on its normal path (a Linux shell sees 3).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/bootstrap.sh
bash scripts/build.sh x86_64
# The medium packer is an authoring tool: built natively.
bash scripts/build.sh native:pack-medium

out="$root/out"
rm -rf "$out/medium" "$out/screenshots"
mkdir -p "$out/medium" "$out/screenshots"
# A splash picture of our own making.
convert -size 360x180 gradient:'#1f4e99-#9fc5ff' -font DejaVu-Sans-Bold -fill white -pointsize 28 \
  -gravity center -annotate 0 'Demo Produkt 1.0' BMP3:"$out/splash.bmp"
build/native/tools/medium/pack-medium "$out/medium" \
  --setup-exe build/x86_64/src/app/Setup.exe \
  --component build/x86_64/components/XceedZip.dll \
  --installer build/x86_64/tools/medium/demo_installer.exe \
  --splash "$out/splash.bmp" --product "Demo Produkt" --product-version "1.0"

# The environment script is written for interactive shells: not under -e.
set +eu
source scripts/wine-env.sh
set -eu
echo "demo: running Setup.exe under Wine (display $DISPLAY)"
(cd "$out/medium" && "$root/scripts/wine-run" Setup.exe) &
setup_pid=$!
start=$(date +%s)
n=0
while kill -0 "$setup_pid" 2>/dev/null && [ $(( $(date +%s) - start )) -lt 60 ]; do
  sleep 1
  n=$((n + 1))
  import -display "$DISPLAY" -window root "$out/screenshots/shot-$(printf %02d $n).png" 2>/dev/null || true
done
set +e
wait "$setup_pid"
code=$?
set -e
# The installer's window, after Setup has ended.
sleep 1
n=$((n + 1))
import -display "$DISPLAY" -window root "$out/screenshots/shot-$(printf %02d $n).png" 2>/dev/null || true
echo "demo: Setup.exe ended after $(( $(date +%s) - start )) s with exit code $code (259 seen as 3)"
echo "demo: $n screenshots in $out/screenshots/"
