#!/usr/bin/env bash
# Builds sekato (installing what is missing first) and the Debian package
# build/sekato_<version>_amd64.deb, whose dependencies dpkg-shlibdeps works out.
#   sudo apt install ./build/sekato_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
cpack --config CPackConfig.cmake >/dev/null
ls "$PWD"/sekato_*_amd64.deb
