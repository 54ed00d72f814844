#!/usr/bin/env bash
# Splits a novel with the command-line splitter the way scripts/run.sh shows it without a
# display (one piece a chapter, named by its title), then names the first ten pieces and
# counts them.
#
#   bash scripts/split_sample.sh SEKATO_CLI NOVEL.txt
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: bash scripts/split_sample.sh SEKATO_CLI NOVEL.txt" >&2
  exit 2
fi
cli=$1
source=$2
"$cli" --title-max 30 -k "第 回" --title-names "$source"
folder=${source%.*}
# Listed without a pipe: under pipefail, `ls | head` fails the script whenever head has its
# lines and goes before ls has written all of its own.
shopt -s nullglob
pieces=("$folder"/*)
for piece in "${pieces[@]:0:10}"; do
  echo "${piece##*/}"
done
echo "… ${#pieces[@]} pieces in $folder"
