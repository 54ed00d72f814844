#!/usr/bin/env bash
# Builds sekato and splits the bundled sample novel with the command-line splitter,
# then lists the pieces. (Installs what is missing first.)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
novel=../shared/corpus/sanguoyanyi.gbk.txt
out=$(mktemp -d "${TMPDIR:-/tmp}/sekato-XXXXXX")
cp "$novel" "$out/"
./build/cli/sekato-cli --title-max 30 -k "第 回" --title-names "$out/$(basename "$novel")"
ls "$out/sanguoyanyi.gbk" | head -n 10
echo "… $(ls "$out/sanguoyanyi.gbk" | wc -l) pieces in $out/sanguoyanyi.gbk"
