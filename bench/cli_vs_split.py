#!/usr/bin/env python3
"""Times sekato-cli in each mode beside `split -C 1000K` on a 200 MB synthetic novel.

Usage: bench/cli_vs_split.py [--cli PATH] [--size-mb 200] [--runs 3] [--work DIR]

The novel is generated once (by bench/gen_novel.py) and kept in the
work folder, in GBK and as a UTF-8 copy of the same size; pieces are written to a scratch
folder that is emptied between runs. Each command runs --runs times; the median wall time is
compared with split's median on the same file from the same session and, for UTF-8, with the
same mode on GBK; the largest resident set of any run is reported. Last, the time detection
takes on each copy (bench/detectbench, built as sekato-detectbench).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
GENERATOR = os.path.join(HERE, "gen_novel.py")
GNU_TIME = "/usr/bin/time"


def run(cmd, scratch):
    """Runs cmd in an emptied scratch folder; returns (seconds, peak RSS in KiB)."""
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    subprocess.run(["sync"], check=False)
    start = time.perf_counter()
    # GNU time reports the command's own peak resident set; a child started straight from
    # Python would count this process's pages too.
    report = os.path.join(os.path.dirname(scratch), "rss")
    proc = subprocess.run([GNU_TIME, "-f", "%M", "-o", report, *cmd], cwd=scratch,
                          stdout=subprocess.DEVNULL, check=False)
    seconds = time.perf_counter() - start
    if proc.returncode != 0:
        sys.exit(f"failed: {' '.join(cmd)}")
    with open(report) as f:
        return seconds, int(f.read().split()[-1])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", default=os.path.join(ROOT, "build", "cli", "sekato-cli"))
    parser.add_argument("--size-mb", type=int, default=200)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--work", default=os.path.join(HERE, "out"))
    args = parser.parse_args()
    if not os.path.exists(GNU_TIME):
        subprocess.run(["apt-get", "install", "-y", "-qq", "time"], check=True)

    os.makedirs(args.work, exist_ok=True)
    novel = os.path.join(args.work, f"novel-{args.size_mb}mb.txt")
    if not os.path.exists(novel):
        subprocess.run([sys.executable, GENERATOR, novel, str(args.size_mb)], check=True)
    utf8 = os.path.join(args.work, f"novel-{args.size_mb}mb.utf8.txt")
    if not os.path.exists(utf8):
        subprocess.run([sys.executable, GENERATOR, utf8, str(args.size_mb), "--utf8"], check=True)
    # Pieces go to memory when there is room, so disk write-back does not blur the timings.
    shm = "/dev/shm"
    base = shm if os.path.isdir(shm) and shutil.disk_usage(shm).free > 3 * os.path.getsize(novel) else args.work
    scratch_root = tempfile.mkdtemp(prefix="sekato-bench-", dir=base)
    scratch = os.path.join(scratch_root, "out")
    cli = os.path.abspath(args.cli)

    modes = [
        ("chapter --per 100", ["-p", "100"]),
        ("size --kb 1000", ["-m", "size", "--kb", "1000"]),
        ("even --parts 200", ["-m", "even", "--parts", "200"]),
        ("chapter --per 100 --trim", ["-p", "100", "--trim"]),
        ("chapter --trim (a piece a chapter)", ["--trim"]),
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
    results = {}
    try:
        for _ in range(args.runs):
            for name, _, cmd, _ in cases:  # interleaved, so every case sees the same machine state
                results.setdefault(name, []).append(run(cmd, scratch))
    finally:
        shutil.rmtree(scratch_root, ignore_errors=True)

    def median(name):
        return statistics.median(t for t, _ in results[name])

    split_of = {novel: median("GBK: split -C 1000K"), utf8: median("UTF-8: split -C 1000K")}
    for path in (novel, utf8):
        print(f"novel: {path} ({os.path.getsize(path) / 1e6:.0f} MB)")
    print(f"{args.runs} runs each, median wall time; x split: split on the same file")
    print(f"{'command':44} {'seconds':>8} {'x split':>8} {'x GBK':>7} {'peak RSS':>10}")
    for name, source, _, gbk in cases:
        seconds = median(name)
        peak = max(rss for _, rss in results[name])
        versus = f"{seconds / median(gbk):7.2f}" if gbk else " " * 7
        print(f"{name:44} {seconds:8.3f} {seconds / split_of[source]:8.2f} {versus} "
              f"{peak / 1024:8.1f} MB")

    detect = os.path.join(os.path.dirname(cli), "..", "bench", "sekato-detectbench")
    if os.path.exists(detect):
        for path in (novel, utf8):
            subprocess.run([detect, path], check=True)

if __name__ == "__main__":
    main()
