#!/usr/bin/env bash
# A queue of books in the window against the command line's batch: COPIES copies of the
# sample novel, a piece a chapter, split from the window (offscreen, sekato-guibench given the
# folder) and with `sekato-cli -j 2 -o`, median of RUNS each. The pieces must be the same,
# byte for byte; the ratio is printed, not judged (both run on the engine's worker pool).
#
#   bash bench/queue_vs_cli.sh          # COPIES=20 RUNS=5
set -euo pipefail
trap 'echo "queue_vs_cli.sh: line $LINENO failed (status $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
root=$PWD
copies=${COPIES:-20}
runs=${RUNS:-5}
build=${SEKATO_BUILD_DIR:-$root/build-bench}

source bench/buildwindowbench.sh

if [ -d /dev/shm ] && [ -w /dev/shm ]; then work=$(mktemp -d /dev/shm/sekato-queue.XXXXXX)
else work=$(mktemp -d); fi
trap 'rm -rf "$work"' EXIT
mkdir "$work/books"
for ((i = 1; i <= copies; i++)); do
  cp samples/sanguoyanyi.gbk.txt "$work/books/$(printf 'book%02d' "$i").txt"
done

# The sample novel's own headings (第一回 …, up to 30 characters): 121 chapters a book.
chapters=(-k "第 回" --title-max 30 -p 1)
now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
cli_times=() gui_times=()
for ((r = 0; r < runs; r++)); do
  rm -rf "$work/cli" "$work/gui"
  start=$(now)
  "$build/cli/sekato-cli" -q -j 2 "${chapters[@]}" -o "$work/cli" "$work"/books/*.txt
  cli_times+=("$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }')")
  # A question the window asks (no heading found, say) ends the run: it is shown, not hidden.
  times=$(QT_QPA_PLATFORM=offscreen "$build/ui/sekato-guibench" "$work/books" "$work/gui" \
            "${chapters[@]}" 2>"$work/errors") ||
    { echo "sekato-guibench failed:"; cat "$work/errors"; exit 1; }
  read -r wall _ <<<"$times"
  gui_times+=("$wall")
done
diff -rq "$work/cli" "$work/gui" >/dev/null || { echo "pieces differ"; exit 1; }
cli=$(median "${cli_times[@]}")
gui=$(median "${gui_times[@]}")
printf 'queue of %d books, a piece a chapter: sekato-cli -j 2 %.2f s   window %.2f s   %.2fx\n' \
  "$copies" "$cli" "$gui" "$(awk -v g="$gui" -v c="$cli" 'BEGIN { printf "%.3f", g / c }')"
