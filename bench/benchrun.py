"""What the benchmark scripts share: their common options, the synthetic novel made once,
a scratch folder in memory when there is room, and a command timed under GNU time."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
GENERATOR = os.path.join(HERE, "gen_novel.py")
GNU_TIME = "/usr/bin/time"


def parse_args(doc, extra=()):
    """--cli, --size-mb, the script's own options (name, keyword arguments), --runs, --work."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    parser.add_argument("--cli", default=os.path.join(ROOT, "build", "cli", "sekato-cli"))
    parser.add_argument("--size-mb", type=int, default=200)
    for name, options in extra:
        parser.add_argument(name, **options)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--work", default=os.path.join(HERE, "out"))
    return parser.parse_args()


def make_novel(work, size_mb, utf8=False):
    """The synthetic novel of size_mb in work (GBK, or its UTF-8 twin), generated once."""
    os.makedirs(work, exist_ok=True)
    path = os.path.join(work, f"novel-{size_mb}mb{'.utf8' if utf8 else ''}.txt")
    if not os.path.exists(path):
        flags = ["--utf8"] if utf8 else []
        subprocess.run([sys.executable, GENERATOR, path, str(size_mb), *flags], check=True)
    return path


def make_scratch(work, novel_path):
    """A fresh folder for pieces: in memory when it holds three novels, so that disk
    write-back does not blur the timings; otherwise in work."""
    shm = "/dev/shm"
    room = os.path.isdir(shm) and shutil.disk_usage(shm).free > 3 * os.path.getsize(novel_path)
    return tempfile.mkdtemp(prefix="sekato-bench-", dir=shm if room else work)


def timed(cmd, cwd):
    """Runs cmd in cwd; returns (seconds, peak RSS in KiB, CPU seconds). GNU time reports the
    command's own peak resident set; a child started straight from Python would count this
    process's pages too."""
    report = os.path.join(tempfile.gettempdir(), f"sekato-rss-{os.getpid()}")
    start = time.perf_counter()
    proc = subprocess.run([GNU_TIME, "-f", "%M %U %S", "-o", report, *cmd], cwd=cwd,
                          stdout=subprocess.DEVNULL, check=False)
    seconds = time.perf_counter() - start
    if proc.returncode != 0:
        # The command's own message went to stderr above this line.
        how = f"signal {-proc.returncode}" if proc.returncode < 0 else f"status {proc.returncode}"
        sys.exit(f"failed with {how}: {' '.join(cmd)}")
    with open(report) as f:
        rss, user, system = f.read().split()[-3:]
        return seconds, int(rss), float(user) + float(system)
