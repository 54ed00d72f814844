#!/usr/bin/env bash
# Takes pictures of the program for the documentation: docs/NAME.png for each shot named
# (default: window). The shots are listed by `sekato-screenshot` without arguments.
#
#   bash scripts/screenshot.sh              # docs/window.png, about.png, tip.png, preview.png
#   bash scripts/screenshot.sh window ...   # the shots named
#   SEKATO_SHOT_XVFB=1 bash scripts/screenshot.sh   # under a virtual X server instead of offscreen
#
# The window is drawn with the system's own fonts (fontconfig finds a CJK face, installed by
# scripts/deps.sh), in its own build directory so it never disturbs a running build.
set -euo pipefail
cd "$(dirname "$0")/.."

shots=("$@")
((${#shots[@]})) || shots=(window about tip preview)

bash scripts/deps.sh
need=()
fc-list :lang=zh family 2>/dev/null | grep -q . || need+=(fonts-wqy-zenhei)
if [[ "${SEKATO_SHOT_XVFB:-0}" == 1 ]] && ! command -v xvfb-run >/dev/null; then need+=(xvfb xauth); fi
if ((${#need[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

build=build-shots
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSEKATO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target sekato-screenshot >/dev/null
tool="$build/ui/sekato-screenshot"

mkdir -p docs
export LANG=C.UTF-8
for shot in "${shots[@]}"; do
  out="docs/$shot.png"
  if [[ "${SEKATO_SHOT_XVFB:-0}" == 1 ]]; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" "$tool" "$shot" "$out"
  else
    QT_QPA_PLATFORM=offscreen "$tool" "$shot" "$out"
  fi
  echo "$out"
done
