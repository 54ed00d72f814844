#!/usr/bin/env bash
# Builds sekato and runs every test (engine, cli, controls, gui).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --preset default "$@"
