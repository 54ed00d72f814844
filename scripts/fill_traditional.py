#!/usr/bin/env python3
"""Fills the Traditional Chinese translation's unfinished entries by converting each
Simplified Chinese source with OpenCC (s2twp: Taiwan characters and phrases), the
converter the program itself uses for books. Entries someone has already translated stay.

usage: fill_traditional.py ui/i18n/sekato_zh_TW.ts
"""
import html
import re
import subprocess
import sys

SEPARATOR = "\n\u2063SEKATO\u2063\n"
MESSAGE = re.compile(
    r"(<message(?: numerus=\"yes\")?>\s*<source>([^<]*)</source>(?:\s*<comment>[^<]*</comment>)?\s*)"
    r"<translation type=\"unfinished\">(?:\s*<numerusform>[^<]*</numerusform>\s*|[^<]*)</translation>",
    re.S)


def convert(texts: list) -> list:
    if not texts:
        return []
    done = subprocess.run(["opencc", "-c", "s2twp.json"], input=SEPARATOR.join(texts),
                          capture_output=True, text=True, check=True).stdout
    parts = done.split(SEPARATOR)
    assert len(parts) == len(texts), "OpenCC changed the separators"
    return parts


def main() -> int:
    path = sys.argv[1]
    with open(path, encoding="utf-8") as f:
        ts = f.read()
    found = list(MESSAGE.finditer(ts))
    converted = convert([html.unescape(m.group(2)) for m in found])
    out, last = [], 0
    for match, text in zip(found, converted):
        out.append(ts[last:match.start()])
        body = html.escape(text, quote=False).replace('"', "&quot;").replace("'", "&apos;")
        if 'numerus="yes"' in match.group(1):
            body = f"\n            <numerusform>{body}</numerusform>\n        "
        out.append(f"{match.group(1)}<translation>{body}</translation>")
        last = match.end()
    out.append(ts[last:])
    with open(path, "w", encoding="utf-8") as f:
        f.write("".join(out))
    print(f"filled {len(found)} entries")
    return 0


if __name__ == "__main__":
    sys.exit(main())
