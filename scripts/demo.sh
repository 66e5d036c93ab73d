#!/usr/bin/env bash
# The main job: builds Setup.exe, the zip component and setupmedium, makes
# the demonstration medium from the description setupmedium init writes
# (tools/samples/medium.toml), checks it and previews it under Wine.
#   out/demo/          the description and the files it names
#   out/medium/        the medium: Setup.exe, XceedZip.dll, _Setup.lib, Setup.bmp
#   out/screenshots/   shot-NN.png, about one per second, and report.txt
# Setup.exe ends with exit code 259 on its normal path (a Linux shell sees 3).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/bootstrap.sh
bash scripts/build.sh x86_64
bash scripts/build.sh native:setupmedium
setupmedium=build/native/tools/setupmedium/setupmedium

rm -rf out/demo out/medium out/screenshots
"$setupmedium" init out/demo
# The files the description names: the 64-bit build (Wine here runs 64-bit
# programs only), the demonstration installer and a splash picture.
cp build/x86_64/src/app/Setup.exe build/x86_64/components/XceedZip.dll out/demo/
cp build/x86_64/tools/medium/demo_installer.exe out/demo/installer.exe
convert -size 360x180 gradient:'#1f4e99-#9fc5ff' -font DejaVu-Sans-Bold -fill white -pointsize 28 \
  -gravity center -annotate 0 'Demo Produkt 1.0' BMP3:out/demo/splash.bmp
"$setupmedium" build out/demo/medium.toml out/medium
"$setupmedium" check out/medium
"$setupmedium" preview out/medium out/screenshots
