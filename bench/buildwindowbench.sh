# Sourced by the window's benchmarks: installs what the build needs and builds sekato-cli and
# sekato-guibench, optimised, into $build (saying what failed, and stopping, if it does).
bash scripts/deps.sh
log=$(mktemp)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSEKATO_BUILD_TESTS=OFF >"$log" 2>&1 &&
  cmake --build "$build" --target sekato-cli sekato-guibench >>"$log" 2>&1 ||
  { cat "$log" >&2; echo "$(basename "$0"): the build failed" >&2; exit 1; }
rm -f "$log"
