#!/usr/bin/env bash
# Builds sekato (installing what is missing first) and opens the window with a copy of the
# bundled sample novel chosen as the source. Without a display it says so and splits the
# novel with the command-line splitter instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
novel=samples/sanguoyanyi.gbk.txt
work=$(mktemp -d "${TMPDIR:-/tmp}/sekato-XXXXXX")
cp "$novel" "$work/"
source="$work/$(basename "$novel")"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  echo "sekato: opening the window; the sample novel is $source"
  exec ./build/ui/sekato "$source"
fi

cat >&2 <<MSG
sekato: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open.
  On a desktop, run this command from a terminal of your session; on a server, use
  'xvfb-run -a bash scripts/run.sh' (Debian package xvfb) or the command-line splitter.
Splitting the sample novel with the command-line splitter instead:
MSG
exec bash scripts/split_sample.sh ./build/cli/sekato-cli "$source"
