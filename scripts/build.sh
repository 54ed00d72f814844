#!/usr/bin/env bash
# Configures and builds sekato with the default preset (installing what is missing first).
# SEKATO_WERROR=ON in the environment makes every compiler warning an error (CI sets it); the
# build folder keeps the last value given.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset default ${SEKATO_WERROR:+-DSEKATO_WERROR="$SEKATO_WERROR"} >/dev/null
cmake --build --preset default
