#!/usr/bin/env bash
# Builds sekato and runs every test (engine, cli, controls, gui), then builds it again under
# AddressSanitizer and UndefinedBehaviorSanitizer (preset asan) and runs every test there too
# (the window's tests take half a minute more and catch misuse of the help tip's lifetime).
# SEKATO_SKIP_ASAN=1 leaves the second pass out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --preset default "$@"
if [ "${SEKATO_SKIP_ASAN:-0}" != 1 ]; then
  cmake --preset asan >/dev/null
  cmake --build --preset asan
  ctest --preset asan "$@"
fi
