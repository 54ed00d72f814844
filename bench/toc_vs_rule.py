#!/usr/bin/env python3
"""Times a split by a chapter list beside the same split by the rule that found it.

Usage: bench/toc_vs_rule.py [--cli PATH] [--size-mb 200] [--utf8] [--per N] [--runs 3]
                            [--work DIR]

The list is what `--list --json` writes for the synthetic novel (its headings and the
book's size and hash); `--toc` then splits by it, which also reads the book once more to
check the list against it before writing. Both write a piece a chapter to memory
(/dev/shm) when there is room; the runs interleave, and the figure is the ratio of median
wall times (goal: at most 1.05). Timings are wall times: on a busy machine they vary.
"""
import filecmp
import os
import shutil
import statistics
import subprocess

from benchrun import make_novel, make_scratch, parse_args, timed


def fresh(path):
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def same_tree(a, b):
    names = sorted(os.listdir(a))
    if names != sorted(os.listdir(b)):
        return False
    _, mismatch, errors = filecmp.cmpfiles(a, b, names, shallow=False)
    return not mismatch and not errors


def main():
    args = parse_args(__doc__, [
        ("--utf8", {"action": "store_true", "help": "the novel's UTF-8 twin instead of GBK"}),
        ("--per", {"type": int, "help": "chapters a piece (-p); the default when left out"}),
    ])
    cli = os.path.abspath(args.cli)
    novel = make_novel(args.work, args.size_mb, args.utf8)
    scratch = make_scratch(args.work, novel)
    try:
        toc = os.path.join(scratch, "toc.json")
        with open(toc, "wb") as out:
            subprocess.run([cli, "--list", "--json", novel], stdout=out, check=True)
        common = ["-q", "--no-ad"] + (["-p", str(args.per)] if args.per else [])
        cases = [
            ("rule", lambda out: [cli, *common, "-o", out, novel]),
            ("--toc", lambda out: [cli, *common, "--toc", toc, "-o", out, novel]),
        ]
        results = {}
        for _ in range(args.runs):
            for name, make in cases:
                out = fresh(os.path.join(scratch, name.strip("-")))
                results.setdefault(name, []).append(timed(make(out), out))
        same = same_tree(os.path.join(scratch, "rule"), os.path.join(scratch, "toc"))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)

    median = {name: statistics.median(t for t, _, _ in results[name]) for name, _ in cases}
    print(f"novel: {novel} ({os.path.getsize(novel) / 1e6:.0f} MB); {args.runs} runs each, "
          f"median wall time; pieces the same: {same}")
    print(f"{'command':10} {'seconds':>8} {'CPU s':>8}")
    for name, _ in cases:
        cpu = statistics.median(c for _, _, c in results[name])
        print(f"{name:10} {median[name]:8.3f} {cpu:8.3f}")
    print(f"--toc / rule: {median['--toc'] / median['rule']:.3f} (goal: at most 1.05)")


if __name__ == "__main__":
    main()
