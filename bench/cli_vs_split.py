#!/usr/bin/env python3
"""Times sekato-cli in each mode beside `split -C 1000K` on a 200 MB synthetic novel.

Usage: bench/cli_vs_split.py [--cli PATH] [--old PATH] [--size-mb 200] [--runs 3] [--work DIR]

The novel is generated once (by bench/gen_novel.py) and kept in the
work folder, in GBK and as a UTF-8 copy of the same size; pieces are written to a scratch
folder that is emptied between runs. Each command runs --runs times; the median wall time is
compared with split's median on the same file from the same session and, for UTF-8, with the
same mode on GBK; the largest resident set of any run is reported. Last, the time detection
takes on each copy (bench/detectbench, built as sekato-detectbench).

With --old, every sekato-cli command also runs with that binary, interleaved with the new one,
and the report adds the new median over the old and both CPU times (user + system), which
other work on the machine disturbs less than the wall time.
"""
import os
import shutil
import statistics
import subprocess

from benchrun import GNU_TIME, make_novel, make_scratch, parse_args, timed


def run(cmd, scratch):
    """Runs cmd in an emptied scratch folder; returns (seconds, peak RSS in KiB, CPU seconds)."""
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    subprocess.run(["sync"], check=False)
    return timed(cmd, scratch)


def main():
    args = parse_args(__doc__, [("--old", {"help": "an earlier sekato-cli to compare with"})])
    if not os.path.exists(GNU_TIME):
        subprocess.run(["apt-get", "install", "-y", "-qq", "time"], check=True)

    novel = make_novel(args.work, args.size_mb)
    utf8 = make_novel(args.work, args.size_mb, utf8=True)
    scratch_root = make_scratch(args.work, novel)
    scratch = os.path.join(scratch_root, "out")
    cli = os.path.abspath(args.cli)

    modes = [
        ("chapter --per 100", ["-p", "100"]),
        ("size --kb 1000", ["-m", "size", "--kb", "1000"]),
        ("even --parts 200", ["-m", "even", "--parts", "200"]),
        ("chapter --per 100 --trim", ["-p", "100", "--trim"]),
        ("chapter --trim (a piece a chapter)", ["--trim"]),
        # A heading rule with its number group: every short line is matched as UTF-8.
        ("chapter --per 100 --regex (group n)",
         ["-p", "100", "--regex", "^第(?<n>[〇零一二两三四五六七八九十百千万]+)章"]),
        # Heading detection, then the chapter list or the split by the rule it found.
        ("list --auto", ["--list", "--auto"]),
        ("chapter --per 100 --auto", ["-p", "100", "--auto"]),
    ]
    # (name, source, command, the GBK case it is compared with)
    cases = []
    for label, source in (("GBK", novel), ("UTF-8", utf8)):
        cases.append((f"{label}: split -C 1000K", source, ["split", "-C", "1000K", source, "x"], None))
        for mode, extra in modes:
            cases.append((f"{label}: {mode}", source, [cli, "-q", "--no-ad", "-o", ".", *extra, source],
                          f"GBK: {mode}" if label == "UTF-8" else None))
    cases.append(("GBK: size --kb 1000 --to utf-8", novel,
                  [cli, "-q", "--no-ad", "-o", ".", "-m", "size", "--kb", "1000", "--to", "utf-8", novel],
                  None))
    cases.append(("UTF-8: size --kb 1000 --to gbk", utf8,
                  [cli, "-q", "--no-ad", "-o", ".", "-m", "size", "--kb", "1000", "--to", "gbk", utf8],
                  None))
    if args.old:
        old = os.path.abspath(args.old)
        cases += [("old " + name, source, [old, *cmd[1:]], None)
                  for name, source, cmd, _ in cases if cmd[0] == cli]
    results = {}
    try:
        for _ in range(args.runs):
            for name, _, cmd, _ in cases:  # interleaved, so every case sees the same machine state
                results.setdefault(name, []).append(run(cmd, scratch))
    finally:
        shutil.rmtree(scratch_root, ignore_errors=True)

    def median(name):
        return statistics.median(t for t, _, _ in results[name])

    def cpu(name):
        return statistics.median(c for _, _, c in results[name])

    split_of = {novel: median("GBK: split -C 1000K"), utf8: median("UTF-8: split -C 1000K")}
    for path in (novel, utf8):
        print(f"novel: {path} ({os.path.getsize(path) / 1e6:.0f} MB)")
    print(f"{args.runs} runs each, median wall time; x split: split on the same file")
    print(f"{'command':44} {'seconds':>8} {'x split':>8} {'x GBK':>7} {'peak RSS':>10}")
    for name, source, _, gbk in cases:
        if name.startswith("old "):
            continue
        seconds = median(name)
        peak = max(rss for _, rss, _ in results[name])
        versus = f"{seconds / median(gbk):7.2f}" if gbk else " " * 7
        print(f"{name:44} {seconds:8.3f} {seconds / split_of[source]:8.2f} {versus} "
              f"{peak / 1024:8.1f} MB")
    if args.old:
        print(f"\nnew against old ({args.old}), interleaved medians")
        print(f"{'command':44} {'new s':>7} {'old s':>7} {'new/old':>7} {'CPU new':>8} {'CPU old':>8}")
        for name, _, cmd, _ in cases:
            if cmd[0] != cli:
                continue
            new, was = median(name), median("old " + name)
            print(f"{name:44} {new:7.3f} {was:7.3f} {new / was:7.2f} "
                  f"{cpu(name):8.3f} {cpu('old ' + name):8.3f}")

    detect = os.path.join(os.path.dirname(cli), "..", "bench", "sekato-detectbench")
    if os.path.exists(detect):
        for path in (novel, utf8):
            subprocess.run([detect, path], check=True)

if __name__ == "__main__":
    main()
