#!/usr/bin/env python3
"""CPU time of heading detection beside `split -C 1000K` on the synthetic novel.

Usage: bench/detect_cpu.py [--cli PATH] [--old PATH] [--size-mb 200] [--runs 5] [--work DIR]

Times `--list --auto` (detection and the chapter list) and `-p 100 --auto` (detection, then
the split by the rule found) beside split, all interleaved run by run, and reports the median
CPU time (user + system of the command, which other work on a shared machine disturbs less
than the wall time), its ratio to split's, and the largest resident set. Goals: the list at
most 0.6 of split, the split at most 1.6, peak memory at most 16 MB. With --old, an earlier
sekato-cli runs the same commands in the same rounds.
"""
import os
import shutil
import statistics
import sys

from benchrun import GNU_TIME, make_novel, make_scratch, parse_args, timed


def main():
    args = parse_args(__doc__, [("--old", {"help": "an earlier sekato-cli to compare with"})])
    if not os.path.exists(GNU_TIME):
        sys.exit("GNU time is needed: apt-get install time")
    novel = make_novel(args.work, args.size_mb)
    scratch = make_scratch(args.work, novel)
    out = os.path.join(scratch, "out")
    clis = [("", os.path.abspath(args.cli))]
    if args.old:
        clis.append(("old ", os.path.abspath(args.old)))
    cases = [("split -C 1000K", ["split", "-C", "1000K", novel, "x"])]
    for label, cli in clis:
        cases.append((f"{label}--list --auto", [cli, "--list", "--auto", novel]))
        cases.append((f"{label}-p 100 --auto",
                      [cli, "-q", "--no-ad", "-o", ".", "-p", "100", "--auto", novel]))
    results = {}
    try:
        for _ in range(args.runs):
            for name, cmd in cases:  # interleaved, so every case sees the same machine state
                shutil.rmtree(out, ignore_errors=True)
                os.makedirs(out)
                results.setdefault(name, []).append(timed(cmd, out))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)

    def cpu(name):
        return statistics.median(c for _, _, c in results[name])

    split = cpu("split -C 1000K")
    print(f"novel: {novel} ({os.path.getsize(novel) / 1e6:.0f} MB); {args.runs} runs each, "
          "median CPU time (user + system)")
    print(f"{'command':28} {'CPU s':>7} {'x split':>8} {'peak RSS':>10}")
    for name, _ in cases:
        peak = max(rss for _, rss, _ in results[name])
        print(f"{name:28} {cpu(name):7.3f} {cpu(name) / split:8.2f} {peak / 1024:7.1f} MB")
    print("goals: --list --auto at most 0.6 x split, -p 100 --auto at most 1.6 x split, "
          "peak at most 16 MB")


if __name__ == "__main__":
    main()
