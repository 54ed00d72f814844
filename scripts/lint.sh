#!/usr/bin/env bash
# Checks the sources with clang-tidy (the checks of .clang-tidy) and clang-format (the style of
# .clang-format), using the compile commands of the default build (run scripts/build.sh first).
# Arguments name files or folders to check instead of engine/ cli/ controls/ ui/, e.g.
# `bash scripts/lint.sh engine`. Exits 1 when either tool has something to say. Not part of
# scripts/test.sh: clang-tidy takes several minutes over the whole tree.
set -euo pipefail
cd "$(dirname "$0")/.."
TIDY=${CLANG_TIDY:-clang-tidy-14}
FORMAT=${CLANG_FORMAT:-clang-format}
if [ ! -f build/compile_commands.json ]; then
  echo "lint.sh: build/compile_commands.json is missing; run scripts/build.sh first" >&2
  exit 2
fi
paths=("$@")
[ "${#paths[@]}" -gt 0 ] || paths=(engine cli controls ui)
mapfile -t sources < <(git ls-files -- "${paths[@]}" | grep -E '\.(cpp|h)$' || true)
status=0
echo "clang-format: ${#sources[@]} files"
"$FORMAT" --dry-run --Werror "${sources[@]}" || status=1
# clang-tidy reads each translation unit with the flags it was built with; headers are
# checked through the sources that include them.
mapfile -t units < <(printf '%s\n' "${sources[@]}" | grep -E '\.cpp$')
echo "clang-tidy: ${#units[@]} sources"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
printf '%s\n' "${units[@]}" |
  xargs -P "$(nproc)" -n 4 "$TIDY" -p build --quiet >"$log" 2>/dev/null || true
if grep -qE '(warning|error):' "$log"; then
  grep -E '(warning|error):' "$log" | sort -u
  status=1
fi
exit "$status"
