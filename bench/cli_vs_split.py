#!/usr/bin/env python3
"""Times sekato-cli in each mode beside `split -C 1000K` on a 200 MB synthetic novel.

Usage: bench/cli_vs_split.py [--cli PATH] [--size-mb 200] [--runs 3] [--work DIR]

The novel is generated once (by bench/gen_novel.py) and kept in the
work folder; pieces are written to a scratch folder that is emptied between runs. Each
command runs --runs times; the median wall time is compared with split's median from the
same session, and the largest resident set of any run is reported.
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
    # Pieces go to memory when there is room, so disk write-back does not blur the timings.
    shm = "/dev/shm"
    base = shm if os.path.isdir(shm) and shutil.disk_usage(shm).free > 3 * os.path.getsize(novel) else args.work
    scratch_root = tempfile.mkdtemp(prefix="sekato-bench-", dir=base)
    scratch = os.path.join(scratch_root, "out")
    cli = os.path.abspath(args.cli)

    cases = [
        ("split -C 1000K", ["split", "-C", "1000K", novel, "x"]),
        ("chapter --per 100", [cli, "-q", "--no-ad", "-o", ".", "-p", "100", novel]),
        ("size --kb 1000", [cli, "-q", "--no-ad", "-o", ".", "-m", "size", "--kb", "1000", novel]),
        ("even --parts 200", [cli, "-q", "--no-ad", "-o", ".", "-m", "even", "--parts", "200", novel]),
        ("chapter --per 100 --trim", [cli, "-q", "--no-ad", "-o", ".", "-p", "100", "--trim", novel]),
        ("chapter --trim (a piece a chapter)", [cli, "-q", "--no-ad", "-o", ".", "--trim", novel]),
    ]
    results = {}
    try:
        for _ in range(args.runs):
            for name, cmd in cases:  # interleaved, so every case sees the same machine state
                results.setdefault(name, []).append(run(cmd, scratch))
    finally:
        shutil.rmtree(scratch_root, ignore_errors=True)

    size_mb = os.path.getsize(novel) / 1e6
    split_time = statistics.median(t for t, _ in results["split -C 1000K"])
    print(f"novel: {novel} ({size_mb:.0f} MB), {args.runs} runs each, median wall time")
    print(f"{'command':38} {'seconds':>8} {'x split':>8} {'peak RSS':>10}")
    for name, _ in cases:
        seconds = statistics.median(t for t, _ in results[name])
        peak = max(rss for _, rss in results[name])
        print(f"{name:38} {seconds:8.3f} {seconds / split_time:8.2f} {peak / 1024:8.1f} MB")


if __name__ == "__main__":
    main()
