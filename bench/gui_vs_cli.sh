#!/usr/bin/env bash
# The window's progress bar must cost nothing measurable: splits the 200 MB synthetic novel
# from the window (offscreen, driven by sekato-guibench) and with sekato-cli, same options,
# best of RUNS each, and fails when the window takes more than 1.2 times as long, or more
# than 1.1 times the command's CPU time (user and system, median of RUNS). The pieces of both
# must be the same, byte for byte.
#
#   bash bench/gui_vs_cli.sh            # RUNS=5, the novel in bench/out/ (made once)
#   RUNS=9 SIZE_MB=50 bash bench/gui_vs_cli.sh
#
# The pieces go to memory (/dev/shm) when it can hold them, so that the file system's own
# delays, which vary from run to run far more than the split itself, stay out of the figures.
# The window's time is that of the split (Start to the completion message); the command's is
# that of its whole process.
set -euo pipefail
# A step that fails says which one, rather than ending the script without a word.
trap 'echo "gui_vs_cli.sh: line $LINENO failed (status $?): $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
root=$PWD
runs=${RUNS:-5}
size=${SIZE_MB:-200}
limit=1.2
cpu_limit=1.1
build=${SEKATO_BUILD_DIR:-$root/build-bench}

source bench/buildwindowbench.sh

mkdir -p "$root/bench/out"
novel=$root/bench/out/novel-${size}mb.txt
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  out=$(mktemp -d /dev/shm/sekato-bench.XXXXXX)
else
  out=$(mktemp -d "$root/bench/out/pieces.XXXXXX")
fi
trap 'rm -rf "$out"' EXIT
errors=$out/errors.txt
[ -s "$novel" ] || python3 "$root/bench/gen_novel.py" "$novel" "$size"

now() { date +%s.%N; }
# Says which program failed and what it said, then stops.
fail() {
  echo "gui_vs_cli.sh: $1 failed:" >&2
  cat "$errors" >&2
  exit 1
}
best() { printf '%s\n' "$@" | sort -g | sed -n 1p; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
cpu_file=$out/cpu.txt

status=0
# Each line: the options, as both programs take them.
while read -r -a options; do
  cli_times=() gui_times=() cli_cpus=() gui_cpus=()
  for ((i = 0; i < runs; i++)); do
    # Each timed run starts from an empty output tree; a tree of the other's pieces lying
    # around would slow down whichever runs second.
    rm -rf "$out/cli" "$out/gui"
    start=$(now)
    python3 bench/cputime.py "$cpu_file" \
      "$build/cli/sekato-cli" -q -o "$out/cli" "${options[@]}" "$novel" 2>"$errors" ||
      fail "sekato-cli ${options[*]}"
    cli_times+=("$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }')")
    cli_cpus+=("$(cat "$cpu_file")")
    rm -rf "$out/cli"
    gui=$(QT_QPA_PLATFORM=offscreen "$build/ui/sekato-guibench" "$novel" "$out/gui" \
          "${options[@]}" 2>"$errors") || fail "sekato-guibench ${options[*]}"
    read -r gui_wall gui_cpu <<<"$gui"
    gui_times+=("$gui_wall")
    gui_cpus+=("$gui_cpu")
  done
  "$build/cli/sekato-cli" -q -o "$out/cli" "${options[@]}" "$novel" 2>"$errors" ||
    fail "sekato-cli ${options[*]}"
  diff -rq "$out/cli" "$out/gui" >/dev/null || { echo "pieces differ for: ${options[*]}"; status=1; }
  rm -rf "$out/cli" "$out/gui"
  cli=$(best "${cli_times[@]}")
  gui=$(best "${gui_times[@]}")
  ratio=$(awk -v g="$gui" -v c="$cli" 'BEGIN { printf "%.3f", g / c }')
  cli_cpu=$(median "${cli_cpus[@]}")
  gui_cpu=$(median "${gui_cpus[@]}")
  cpu_ratio=$(awk -v g="$gui_cpu" -v c="$cli_cpu" 'BEGIN { printf "%.3f", (c > 0 ? g / c : 0) }')
  verdict=ok
  if awk -v r="$ratio" -v l="$limit" 'BEGIN { exit !(r > l) }'; then
    verdict="TOO SLOW (limit ${limit}x)"
    status=1
  fi
  if awk -v r="$cpu_ratio" -v l="$cpu_limit" 'BEGIN { exit !(r > l) }'; then
    verdict="TOO MUCH CPU (limit ${cpu_limit}x)"
    status=1
  fi
  printf '%-24s cli %6.2f s   window %6.2f s   %.2fx   CPU cli %5.2f s  window %5.2f s  %.2fx  %s\n' \
    "${options[*]}" "$cli" "$gui" "$ratio" "$cli_cpu" "$gui_cpu" "$cpu_ratio" "$verdict"
done <<'LIST'
-m chapter
-m size --kb 1000
-m even --parts 5 --no-ad
LIST
exit $status
