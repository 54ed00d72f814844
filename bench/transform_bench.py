#!/usr/bin/env python3
"""Times replacement rules and script conversion on the 200 MB synthetic novel.

Usage: bench/transform_bench.py [--cli PATH] [--size-mb 200] [--convert-mb 30] [--runs 3]
                                [--work DIR]

Rules: sekato-cli -m size with ten rules of the kind sites add ("本章未完…", "(本章完)",
watermarks) on the GBK novel, beside `split -C 1000K` on the same file; the target is at most
three times split's median CPU time (user + system), the runs of each pair taken in turn
so that a busy machine slows both alike. The same again on a copy of the novel with a line
sites add after every 40th line, so that the rules have lines to change. Conversion: sekato-cli --convert s2t on the first
--convert-mb MB of the UTF-8 twin, written as one UTF-8 piece, beside OpenCC's own tool
(`opencc -c s2t.json`) on the same text; the target is at most 1.2 times its CPU time, and the
piece must be byte for byte what the tool wrote. The largest resident set of each is shown:
it must not grow with the book.
"""
import os
import shutil
import statistics
import subprocess

from benchrun import make_novel, make_scratch, parse_args, timed

RULES = """# lines sites add
本章未完.*
最新章节请到.*阅读
^\\(本章完\\)$
请点击下一页继续阅读
笔趣阁=>
www\\.[a-z0-9]+\\.(com|net|org)
天才一秒记住.*
手机用户请浏览.*
顶点小说(?:网)?
一秒记住【.*?】
"""


SITE_LINES = ["本章未完，请点击下一页继续阅读", "(本章完)", "天才一秒记住本站地址：www.biquge.com",
              "手机用户请浏览阅读，更优质的阅读体验。", "一秒记住【顶点小说网】，精彩小说无弹窗免费阅读！"]


def with_site_lines(novel):
    """The novel with a line sites add after every 40th line (about 2 % of the lines, each
    one changed by the rules), made once beside it."""
    path = novel.replace(".txt", ".sites.txt")
    if not os.path.exists(path):
        lines = [(s + "\r\n").encode("gbk") for s in SITE_LINES]
        with open(novel, "rb") as src, open(path + ".part", "wb") as out:
            for number, line in enumerate(src):
                out.write(line)
                if number % 40 == 39:
                    out.write(lines[number // 40 % len(lines)])
        os.rename(path + ".part", path)
    return path


def interleaved(commands, scratch, runs):
    """Runs each command once a round, `runs` rounds: per command the median wall time, the
    largest resident set and the median CPU time."""
    results = [([], 0, []) for _ in commands]
    for _ in range(runs):
        for i, cmd in enumerate(commands):
            shutil.rmtree(scratch, ignore_errors=True)
            os.makedirs(scratch)
            seconds, peak, used = timed(cmd, scratch)
            times, rss, cpu = results[i]
            times.append(seconds)
            cpu.append(used)
            results[i] = (times, max(rss, peak), cpu)
    return [(statistics.median(t), rss, statistics.median(c)) for t, rss, c in results]


def main():
    args = parse_args(__doc__, [("--convert-mb", {"type": int, "default": 30})])
    novel = make_novel(args.work, args.size_mb)
    utf8 = make_novel(args.work, args.size_mb, utf8=True)
    scratch = make_scratch(args.work, novel)
    rules = os.path.join(scratch + "-rules.txt")
    with open(rules, "w", encoding="utf-8") as f:
        f.write(RULES)
    try:
        split, ruled = interleaved(
            [["split", "-C", "1000K", novel],
             [args.cli, "-q", "-m", "size", "--rules", rules, "-o", "pieces", novel]],
            scratch, args.runs)
        print(f"split -C 1000K      {split[0]:7.2f} s  cpu {split[2]:6.2f} s  {split[1]:8d} KiB")
        print(f"10 rules, size mode {ruled[0]:7.2f} s  cpu {ruled[2]:6.2f} s  {ruled[1]:8d} KiB"
              f"  cpu ×{ruled[2] / split[2]:.2f} of split (target ≤ 3), wall ×{ruled[0] / split[0]:.2f}")
        # The same on a book that has the lines: the rules change one line in forty.
        sites = with_site_lines(novel)
        split, ruled = interleaved(
            [["split", "-C", "1000K", sites],
             [args.cli, "-q", "-m", "size", "--rules", rules, "-o", "pieces", sites]],
            scratch, args.runs)
        print(f"split, site lines   {split[0]:7.2f} s  cpu {split[2]:6.2f} s  {split[1]:8d} KiB")
        print(f"10 rules, site lines{ruled[0]:7.2f} s  cpu {ruled[2]:6.2f} s  {ruled[1]:8d} KiB"
              f"  cpu ×{ruled[2] / split[2]:.2f} of split (target ≤ 3), wall ×{ruled[0] / split[0]:.2f}")

        part = scratch + "-part.utf8.txt"
        with open(utf8, "rb") as src:
            data = src.read(args.convert_mb << 20)
        # Ends at a line end, so that the slice is whole characters.
        data = data[: data.rfind(b"\n") + 1]
        with open(part, "wb") as f:
            f.write(data)
        tool, ours = interleaved(
            [["opencc", "-c", "s2t.json", "-i", part, "-o", "tool.txt"],
             [args.cli, "-q", "-m", "size", "--kb", str(len(data)), "--no-ad", "--convert", "s2t",
              "-o", "pieces", part]],
            scratch, args.runs)
        piece = os.path.join(scratch, "pieces", os.listdir(os.path.join(scratch, "pieces"))[0])
        subprocess.run(["opencc", "-c", "s2t.json", "-i", part, "-o", scratch + "-tool.txt"],
                       check=True)
        # A piece does not end in a line break; the tool keeps the text's last one.
        with open(piece, "rb") as f, open(scratch + "-tool.txt", "rb") as g:
            same = f.read() == g.read().rstrip(b"\r\n")
        print(f"opencc s2t          {tool[0]:7.2f} s  cpu {tool[2]:6.2f} s  {tool[1]:8d} KiB")
        print(f"--convert s2t       {ours[0]:7.2f} s  cpu {ours[2]:6.2f} s  {ours[1]:8d} KiB"
              f"  cpu ×{ours[2] / tool[2]:.2f} of opencc (target ≤ 1.2), wall ×{ours[0] / tool[0]:.2f};"
              f" same text: {same}")
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
        for leftover in (rules, scratch + "-tool.txt", scratch + "-part.utf8.txt"):
            if os.path.exists(leftover):
                os.remove(leftover)


if __name__ == "__main__":
    main()
