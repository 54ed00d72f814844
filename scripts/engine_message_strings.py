#!/usr/bin/env python3
"""Writes the engine's message texts as lupdate markers, so that the window's translations
follow every message id.

The engine's catalogue gives each id its Chinese text; the window looks a message up with
that text as the source and the id's number as the disambiguation. This file is read by
lupdate only and never compiled.

usage: engine_message_strings.py MESSAGE_H CATALOGUE_CPP OUT_CPP
"""
import re
import sys


def enum_numbers(header: str) -> dict:
    body = re.search(r"enum class MessageId\s*\{(.*?)\};", header, re.S).group(1)
    body = re.sub(r"//[^\n]*", "", body)
    numbers, next_value = {}, 0
    for item in filter(None, (part.strip() for part in body.split(","))):
        name, _, value = item.partition("=")
        if value.strip():
            next_value = int(value.strip(), 0)
        numbers[name.strip()] = next_value
        next_value += 1
    return numbers


def texts(catalogue: str) -> list:
    found = []
    for match in re.finditer(r"case MessageId::(\w+):\s*return\s+((?:\"(?:[^\"\\]|\\.)*\"\s*)+);",
                             catalogue):
        pieces = re.findall(r"\"((?:[^\"\\]|\\.)*)\"", match.group(2))
        found.append((match.group(1), "".join(pieces)))
    return found


def main() -> int:
    header_path, catalogue_path, out_path = sys.argv[1:4]
    with open(header_path, encoding="utf-8") as f:
        numbers = enum_numbers(f.read())
    with open(catalogue_path, encoding="utf-8") as f:
        entries = texts(f.read())
    lines = ["// Made from the engine's message catalogue for lupdate; never compiled.\n"]
    for name, text in entries:
        lines.append(f'QT_TRANSLATE_NOOP3("EngineMessage", "{text}", "{numbers[name]}")  // {name}\n')
    content = "".join(lines)
    try:
        with open(out_path, encoding="utf-8") as f:
            if f.read() == content:
                return 0
    except FileNotFoundError:
        pass
    with open(out_path, "w", encoding="utf-8") as f:
        f.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main())
