#!/usr/bin/env python3
"""Marks the window's Chinese string literals for translation.

`QStringLiteral("…")` holding Chinese becomes `tr("…")` inside a member function of a
class that has tr(), and `QCoreApplication::translate("Class", "…")` elsewhere (free
functions, helpers in an anonymous namespace), with the file's class as the context.
Run it over ui/ and controls/ after adding texts; it changes nothing already marked.

usage: mark_translatable.py FILE.cpp...
"""
import re
import sys

LITERAL = re.compile(r'QStringLiteral\(("(?:[^"\\]|\\.)*[^\x00-\x7f](?:[^"\\]|\\.)*")\)')
MEMBER = re.compile(r"^(?:[A-Za-z_][\w:<>,\*&\s]*?[\s\*&])?(\w+)::(~?\w+)\s*\(")
FREE = re.compile(r"^[A-Za-z_][\w:<>,\*&\s]*\s[\*&]?(\w+)\s*\([^;]*$")


# Literals that are data, not words for the user: the default keywords (book text) and
# font family names.
KEEP = {'"简体中文"', '"繁體中文"', '"第  章"', '"宋体"', '"SimSun"', '"新宋体"', '"。"', '"！"'}


def qobject_classes(header_text: str) -> set:
    found = set()
    for match in re.finditer(r"class\s+(\w+)\s+(?:final\s*)?:[^{]*\{\s*Q_OBJECT", header_text):
        found.add(match.group(1))
    for match in re.finditer(r"class\s+(\w+)[^;{]*\{\s*Q_DECLARE_TR_FUNCTIONS", header_text):
        found.add(match.group(1))
    return found


def mark(path: str) -> bool:
    header = path[:-4] + ".h"
    try:
        with open(header, encoding="utf-8") as f:
            classes = qobject_classes(f.read())
    except FileNotFoundError:
        classes = set()
    context = next(iter(sorted(classes)), None)
    with open(path, encoding="utf-8") as f:
        lines = f.readlines()
    current = None  # the class whose member function we are in, or "" in a free function
    changed = False
    for i, line in enumerate(lines):
        member = MEMBER.match(line)
        if member and not line.rstrip().endswith(";"):
            current = member.group(1)
        elif FREE.match(line) and not line.startswith(("namespace", "using", "return")):
            current = ""
        if current in classes and f'QCoreApplication::translate("{current}", ' in line:
            lines[i] = line.replace(f'QCoreApplication::translate("{current}", ', "tr(")
            changed = True
            line = lines[i]
        if "QStringLiteral" not in line:
            continue

        def replace(match: re.Match) -> str:
            if match.group(1) in KEEP:
                return match.group(0)
            if current in classes:
                return f"tr({match.group(1)})"
            ctx = current or context or "sekato"
            return f'QCoreApplication::translate("{ctx}", {match.group(1)})'

        new = LITERAL.sub(replace, line)
        if new != line:
            lines[i] = new
            changed = True
    if changed and any("QCoreApplication::translate" in line for line in lines) and not any(
            line.startswith("#include <QCoreApplication>") for line in lines):
        first = next(i for i, line in enumerate(lines) if line.startswith("#include <Q"))
        lines.insert(first, "#include <QCoreApplication>\n")
    if changed:
        with open(path, "w", encoding="utf-8") as f:
            f.writelines(lines)
    return changed


if __name__ == "__main__":
    for name in sys.argv[1:]:
        if mark(name):
            print("marked", name)
