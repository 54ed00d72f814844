#!/usr/bin/env python3
"""Times `sekato-cli --list` beside `split -C 1000K`, and a batch split with -j 2 beside -j 1.

Usage: bench/list_and_batch.py [--cli PATH] [--size-mb 200] [--copies 20] [--runs 3]
                               [--work DIR]

--list reads the synthetic novel once and writes nothing; its median wall time is compared
with split's (which copies the novel into 1000K pieces), and its peak resident set shows that
memory stays flat. The batch splits --copies copies of the sample novel, a piece a chapter,
once with -j 1 and once with -j 2; the speed-up is -j 1's median over -j 2's. Pieces go to
memory (/dev/shm) when there is room. Timings are wall times: on a busy machine they vary.
"""
import os
import shutil
import statistics
import sys

from benchrun import GNU_TIME, ROOT, make_novel, make_scratch, parse_args, timed

SAMPLE = os.path.join(ROOT, "samples", "sanguoyanyi.gbk.txt")


def fresh(path):
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def main():
    args = parse_args(__doc__, [("--copies", {"type": int, "default": 20})])
    if not os.path.exists(GNU_TIME):
        sys.exit("GNU time is needed: apt-get install time")
    cli = os.path.abspath(args.cli)

    novel = make_novel(args.work, args.size_mb)
    scratch = make_scratch(args.work, novel)
    try:
        books = fresh(os.path.join(scratch, "books"))
        sources = []
        for i in range(args.copies):
            sources.append(os.path.join(books, f"copy{i:02}.txt"))
            shutil.copyfile(SAMPLE, sources[-1])
        batch = ["-q", "--no-ad", "-k", "第 回", "--title-max", "30"]
        cases = [
            ("split -C 1000K", lambda out: ["split", "-C", "1000K", novel, "x"]),
            ("--list", lambda out: [cli, "--list", novel]),
            ("--list --json", lambda out: [cli, "--list", "--json", novel]),
            (f"batch of {args.copies}, -j 1", lambda out: [cli, *batch, "-j", "1", "-o", out, *sources]),
            (f"batch of {args.copies}, -j 2", lambda out: [cli, *batch, "-j", "2", "-o", out, *sources]),
        ]
        results = {}
        for _ in range(args.runs):
            for name, make in cases:  # interleaved, so every case sees the same machine state
                out = fresh(os.path.join(scratch, "out"))
                results.setdefault(name, []).append(timed(make(out), out))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)

    median = {name: statistics.median(t for t, _, _ in results[name]) for name, _ in cases}
    print(f"novel: {novel} ({os.path.getsize(novel) / 1e6:.0f} MB); batch: {args.copies} copies "
          f"of {os.path.basename(SAMPLE)}; {args.runs} runs each, median wall time")
    # CPU time beside wall time: when other work holds the processors, -j 2 gains nothing on
    # the wall clock although the CPU time it needs stays that of -j 1.
    print(f"{'command':28} {'seconds':>8} {'CPU s':>8} {'peak RSS':>10}")
    for name, _ in cases:
        peak = max(rss for _, rss, _ in results[name])
        cpu = statistics.median(c for _, _, c in results[name])
        print(f"{name:28} {median[name]:8.3f} {cpu:8.3f} {peak / 1024:8.1f} MB")
    j1, j2 = median[f"batch of {args.copies}, -j 1"], median[f"batch of {args.copies}, -j 2"]
    print(f"--list / split: {median['--list'] / median['split -C 1000K']:.2f} (goal: at most 0.5)")
    print(f"batch -j 1 / -j 2: {j1 / j2:.2f} (goal: at least 1.6)")


if __name__ == "__main__":
    main()
