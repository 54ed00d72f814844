#!/usr/bin/env bash
# scripts/split_sample.sh (what scripts/run.sh does without a display) ends with status 0 and
# names the first ten pieces and their count, even when a reader of a pipe stops before its
# writer is done: here `head` closes its input at once and `ls` writes late, as happens at
# random on a loaded machine.
#
#   bash split_sample_test.sh SEKATO_CLI REPOSITORY
set -euo pipefail
cli=$1
root=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/sekato-sample-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/shim"
real_ls=$(command -v ls)
printf '#!/bin/sh\nexec 0<&-\nexit 0\n' >"$work/shim/head"
printf '#!/bin/sh\nsleep 0.3\nexec %s "$@"\n' "$real_ls" >"$work/shim/ls"
chmod +x "$work/shim/head" "$work/shim/ls"
cp "$root/samples/sanguoyanyi.gbk.txt" "$work/"

status=0
PATH="$work/shim:$PATH" bash "$root/scripts/split_sample.sh" "$cli" \
  "$work/sanguoyanyi.gbk.txt" >"$work/out.txt" 2>"$work/err.txt" || status=$?
fail() {
  echo "FAIL: $1" >&2
  cat "$work/out.txt" "$work/err.txt" >&2
  exit 1
}
[ "$status" -eq 0 ] || fail "status $status"
[ "$(wc -l <"$work/out.txt")" -eq 11 ] || fail "not ten names and a count"
pieces=$(find "$work/sanguoyanyi.gbk" -type f | wc -l)
[ "$pieces" -gt 10 ] || fail "only $pieces pieces"
grep -qx "… $pieces pieces in $work/sanguoyanyi.gbk" "$work/out.txt" || fail "count line"
grep -qx "001_第一回.*\.txt" "$work/out.txt" || fail "first piece"
echo "ok: $pieces pieces"
