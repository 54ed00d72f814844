#!/usr/bin/env python3
"""Prints figures about the source tree: lines per folder, the longest functions, and which
folders include headers from which.

Usage: scripts/codefigures.py [--top N]

Lines are non-blank lines of .cpp and .h files; tests (files under a tests/ folder) are
counted apart. A function is measured from its signature at column 0 (over one line or several, up to the
"{" that opens its body) to the "}" that closes it at column 0, as clang-format lays them
out. An include "x.h" belongs to the folder that holds x.h.
"""
import argparse
import collections
import os
import re

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOP = ["engine", "cli", "controls", "ui", "bench", "fuzz"]


def sources():
    for top in TOP:
        for folder, dirs, files in os.walk(os.path.join(ROOT, top)):
            dirs.sort()
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    yield os.path.relpath(os.path.join(folder, name), ROOT)


def folder_of(path):
    parts = path.split(os.sep)[:-1]
    if "tests" in parts:
        parts = parts[: parts.index("tests") + 1]
    return "/".join(parts)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--top", type=int, default=5, help="longest functions to list")
    args = parser.parse_args()
    files = list(sources())
    lines = collections.Counter()
    header_home = {}
    for path in files:
        header_home.setdefault(os.path.basename(path), folder_of(path))
    # A header of the engine's front door belongs to the layer that defines it.
    for path in files:
        name = os.path.basename(path)
        if path.endswith(".cpp") and path.startswith("engine" + os.sep):
            header = name[:-4] + ".h"
            if header_home.get(header) == "engine/include/sekato":
                header_home[header] = folder_of(path)
    functions = []
    graph = collections.defaultdict(collections.Counter)
    for path in files:
        with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
            text = f.read().splitlines()
        lines[folder_of(path)] += sum(1 for line in text if line.strip())
        start = pending = None
        for number, line in enumerate(text, 1):
            m = re.match(r'#include "(?:sekato/)?([^"]+)"', line)
            if m:
                home = header_home.get(os.path.basename(m.group(1)))
                if home and home != folder_of(path):
                    graph[folder_of(path)][home] += 1
            if start is None and pending is None and re.match(r"[A-Za-z][^;]*\(", line) and \
                    not line.startswith(("namespace", "class ", "struct ", "enum ", "using ")):
                pending = (number, line)  # a signature, perhaps over several lines
            if start is None and pending is not None:
                if line.endswith(";"):
                    pending = None
                elif line.endswith("}") and "{" in line:
                    pending = None  # a function on one line, too short to list
                elif line.endswith("{"):
                    start, pending = pending, None
                continue
            if start is not None and line == "}":
                functions.append((number - start[0] + 1, path, start[0], start[1][:70]))
                start = None
            elif start is not None and line.startswith(("namespace", "class ", "struct ")):
                start = None
    print("Lines per folder (non-blank):")
    for folder in sorted(lines):
        print(f"  {folder:32} {lines[folder]:7,}")
    code = sum(n for f, n in lines.items() if not f.endswith("tests"))
    tests = sum(n for f, n in lines.items() if f.endswith("tests"))
    print(f"  {'all code':32} {code:7,}\n  {'all tests':32} {tests:7,}  ({tests / (code + tests):.0%})")
    print(f"\nLongest functions:")
    for length, path, number, head in sorted(functions, reverse=True)[: args.top]:
        print(f"  {length:4} lines  {path}:{number}  {head}")
    print("\nIncludes between folders (from -> to: headers included):")
    for source in sorted(graph):
        if source.endswith("tests"):
            continue
        targets = ", ".join(f"{t} {n}" for t, n in sorted(graph[source].items()))
        print(f"  {source:24} -> {targets}")


if __name__ == "__main__":
    main()
