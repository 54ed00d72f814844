#!/usr/bin/env bash
# Fuzzes the split engine, its conversions, the numeral reader and detection, and the markup
# parser with libFuzzer (clang from Debian), under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz.sh [SECONDS] [split|encoding|detect|markup ...]   # default: 60 s each, all four
#
# New inputs go to build-fuzz/corpus/<target>; the seeds in fuzz/corpus are read, never
# changed. A crash leaves its input in build-fuzz/ and ends the script with its status; copy
# the input into fuzz/corpus/<target> once mended, so every test run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(split encoding detect markup)

bash scripts/deps.sh fuzz
CC="${CC:-clang-14}" CXX="${CXX:-clang++-14}" cmake -S . -B build-fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSEKATO_FUZZ=ON -DSEKATO_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
  >/dev/null
for target in "${targets[@]}"; do
  cmake --build build-fuzz --target "sekato_${target}_fuzz"
done
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$target"
  echo "== $target, $seconds s"
  (cd build-fuzz && "./fuzz/sekato_${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
     "corpus/$target" "../fuzz/corpus/$target")
done
