#!/usr/bin/env bash
# Builds sekato and runs every test (engine, cli, controls, gui, package). Arguments go to
# ctest, e.g. `bash scripts/test.sh -L engine`. SEKATO_WERROR=ON makes warnings errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --preset default "$@"
