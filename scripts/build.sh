#!/usr/bin/env bash
# Configures and builds sekato with the default preset (installing what is missing first).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
