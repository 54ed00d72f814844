#!/usr/bin/env bash
# Builds sekato and runs every test (engine, cli, controls, gui, package). Arguments go to
# ctest, e.g. `bash scripts/test.sh -L engine`. SEKATO_WERROR=ON makes warnings errors.
# Then builds it again under AddressSanitizer and UndefinedBehaviorSanitizer (preset asan)
# and runs every test but the package there too (the window's tests take half a minute
# more and catch misuse of the help tip's lifetime); of the kernel reruns only the generic
# one, as the widest kernel is the one every other test there goes through. Both sanitizer
# builds keep line tables only, enough for their reports. SEKATO_SKIP_ASAN=1 leaves that out.
# Last it builds the engine and the command line under ThreadSanitizer (preset tsan, no
# window) and runs the engine and cli tests there: the chapter scan and the read-ahead run on
# threads of their own. That pass leaves out the sweeps whose cases differ only in the text
# (conversions, spellings, numerals, styles, scripts, the heading detector's limits) and the
# long lines read in tiny parts: they go through the same threads as the rest, and under it
# they took a third of its time. SEKATO_SKIP_TSAN=1 leaves that out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --preset default "$@"
if [ "${SEKATO_SKIP_ASAN:-0}" != 1 ]; then
  cmake --preset asan ${SEKATO_WERROR:+-DSEKATO_WERROR="$SEKATO_WERROR"} >/dev/null
  cmake --build --preset asan
  ctest --preset asan -LE package "$@"
fi
if [ "${SEKATO_SKIP_TSAN:-0}" != 1 ]; then
  cmake --preset tsan ${SEKATO_WERROR:+-DSEKATO_WERROR="$SEKATO_WERROR"} >/dev/null
  cmake --build --preset tsan
  ctest --preset tsan -L 'engine|cli' "$@"
fi
