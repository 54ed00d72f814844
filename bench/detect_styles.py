#!/usr/bin/env python3
"""Precision and recall of `sekato-cli --list --auto` on a table of heading styles.

Usage: bench/detect_styles.py [--cli build/cli/sekato-cli] [--encoding gbk] [--keep DIR]

For each heading style web novels are written in, a small book is generated (GBK unless told
otherwise) whose body text holds the short lines that start like headings ("第三天，天刚亮他
就起来了。", "他把第二章节又读了一遍。", "“第九部队，集合！”", "第七回合，他输了。",
"1、先把水烧开。" and more). The book's true headings (chapters, volumes, special headings)
are known; the script runs `--list --auto --json` on it and counts the heading and volume
lines found against them:

  precision = true headings found / lines found,  recall = true headings found / true headings.

It prints one row a style, and the total; the exit status is 1 when any style is short of 1.0.
Not a timed test: it takes a few seconds.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile

DIGITS = "零一二三四五六七八九"
TITLES = ["风起", "山路", "夜雨", "渡口", "城门", "旧友", "归来", "离别", "远行", "重逢"]
TRAPS = [
    "第三天，天刚亮他就起来了。",
    "他把第二章节又读了一遍。",
    "“第九部队，集合！”",
    "第七回合，他输了。",
    "1、先把水烧开。",
    "第一节课下课了，他走出教室。",
    "2. 把门关上",
    "第二集合点在山后",
    "三、四个人站在门口",
    "卷起袖子就干",
    "序幕拉开了",
    "后来他们都走了",
]


def chinese(n):
    """Chinese numerals as books write them: 十二, 二十, 一百零三, 一百一十."""
    if n == 0:
        return "零"
    out = ""
    thousands, n = divmod(n, 1000)
    hundreds, n = divmod(n, 100)
    tens, ones = divmod(n, 10)
    if thousands:
        out += DIGITS[thousands] + "千"
    if hundreds:
        out += DIGITS[hundreds] + "百"
    elif thousands and (tens or ones):
        out += "零"
    if tens:
        if tens == 1 and not out:
            out += "十"
        else:
            out += DIGITS[tens] + "十"
    elif (hundreds or thousands) and ones:
        out += "零"
    if ones:
        out += DIGITS[ones]
    return out


def colloquial(n):
    """The spoken short form where there is one: 130 → 一百三, 110 → 一百一, else as books do."""
    if 100 < n < 1000 and n % 10 == 0 and (n // 10) % 10 != 0:
        return DIGITS[n // 100] + "百" + DIGITS[(n // 10) % 10]
    return chinese(n)


def fullwidth(n):
    return "".join(chr(0xFF10 + int(d)) for d in str(n))


class Book:
    def __init__(self):
        self.lines = ["书名：山河", "作者：某人", ""]
        self.headings = []  # 1-based line numbers of every true heading (chapters, volumes, specials)
        self.chapter = 0

    def heading(self, line):
        self.lines.append(line)
        self.headings.append(len(self.lines))

    def body(self, paragraphs=4):
        for i in range(paragraphs):
            trap = TRAPS[(self.chapter * paragraphs + i) % len(TRAPS)]
            self.lines.append("　　山风吹过，他站在崖边，看着远处的云海慢慢散开，心里想着明天的事。")
            self.lines.append("　　" + trap if i % 2 else trap)
        self.lines.append("")

    def chapters(self, style, numbers):
        for n in numbers:
            self.chapter = n
            self.heading(style(n))
            self.body()


def plain(style, count=60, start=1):
    book = Book()
    book.chapters(style, range(start, start + count))
    return book


def volumes(restart):
    book = Book()
    n = 0
    for v in range(1, 5):
        book.heading("第" + chinese(v) + "卷 " + TITLES[v])
        if restart:
            n = 0
        book.chapters(lambda k: "第" + chinese(k) + "章 " + TITLES[k % 10], range(n + 1, n + 16))
        n += 15
    return book


def specials():
    book = Book()
    book.heading("楔子")
    book.body()
    book.chapters(lambda n: "第" + chinese(n) + "章 " + TITLES[n % 10], range(1, 41))
    for line in ("番外一 旧事", "番外二 新事", "完本感言"):
        book.heading(line)
        book.body()
    return book


def contents():
    book = Book()
    book.lines.append("目录")
    style = lambda n: "第" + chinese(n) + "章 " + TITLES[n % 10]
    for n in range(1, 41):
        book.lines.append(style(n))
    book.lines.append("")
    book.chapters(style, range(1, 41))
    return book


def repeated():
    """The sample novel's trap: a chapter heading repeated in the text below it."""
    book = Book()
    style = lambda n: "第" + chinese(n) + "回 " + TITLES[n % 10]
    for n in range(1, 61):
        book.chapter = n
        book.heading(style(n))
        book.body()
        if n == 35:
            book.lines.append(style(n))  # quoted again as body text
            book.body(1)
    return book


COUPLET = "宴桃园豪杰三结义　斩黄巾英雄首立功，天下大势分久必合合久必分"

STYLES = [
    ("第1章", lambda: plain(lambda n: f"第{n}章 {TITLES[n % 10]}")),
    ("第 1 章", lambda: plain(lambda n: f"第 {n} 章 {TITLES[n % 10]}")),
    ("第001章", lambda: plain(lambda n: f"第{n:03d}章 {TITLES[n % 10]}")),
    ("第１章", lambda: plain(lambda n: f"第{fullwidth(n)}章 {TITLES[n % 10]}")),
    ("　　第一章　标题", lambda: plain(lambda n: f"　　第{chinese(n)}章　{TITLES[n % 10]}")),
    ("【第一章】标题", lambda: plain(lambda n: f"【第{chinese(n)}章】{TITLES[n % 10]}")),
    ("===第一章 标题===", lambda: plain(lambda n: f"===第{chinese(n)}章 {TITLES[n % 10]}===")),
    ("第一章标题", lambda: plain(lambda n: f"第{chinese(n)}章{TITLES[n % 10]}")),
    ("1、标题", lambda: plain(lambda n: f"{n}、{TITLES[n % 10]}")),
    ("Chapter 1 标题", lambda: plain(lambda n: f"Chapter {n} {TITLES[n % 10]}")),
    ("第一节", lambda: plain(lambda n: f"第{chinese(n)}节")),
    ("第一回 长对句", lambda: plain(lambda n: f"第{chinese(n)}回 {COUPLET}")),
    ("第一卷+第一章 接续", lambda: volumes(False)),
    ("第一卷+第一章 重新编号", lambda: volumes(True)),
    ("楔子/番外/完本感言", specials),
    ("目录在前", contents),
    ("口语数字 一百三", lambda: plain(lambda n: f"第{colloquial(n)}章 {TITLES[n % 10]}", 150)),
    ("从第九十五章开始", lambda: plain(lambda n: f"第{colloquial(n)}章 {TITLES[n % 10]}", 60, 95)),
    ("第N回 正文重复标题", repeated),
]


def measure(cli, name, book, encoding, folder):
    path = os.path.join(folder, "book.txt")
    with open(path, "wb") as out:
        out.write("\r\n".join(book.lines).encode(encoding) + b"\r\n")
    run = subprocess.run([cli, "--list", "--auto", "--json", path], capture_output=True, check=False)
    if run.returncode != 0:
        return set(), run.stderr.decode("utf-8", "replace").strip()
    result = json.loads(run.stdout)
    detection = result.get("detection") or {}
    found = {h["line"] for h in result.get("headings", [])}
    found |= set(detection.get("volumeLines") or [])
    return found, detection.get("text", "")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", default="build/cli/sekato-cli")
    parser.add_argument("--encoding", default="gbk")
    parser.add_argument("--keep", help="keep each generated book in this folder")
    args = parser.parse_args()
    cli = os.path.abspath(args.cli)
    total_true = total_found = total_hits = 0
    short = False
    print(f"{'style':<24}{'heads':>6}{'found':>6}{'hits':>6}{'prec':>7}{'recall':>7}  detected as")
    with tempfile.TemporaryDirectory() as folder:
        for name, make in STYLES:
            book = make()
            found, text = measure(cli, name, book, args.encoding, folder)
            if args.keep:
                os.makedirs(args.keep, exist_ok=True)
                os.replace(os.path.join(folder, "book.txt"), os.path.join(args.keep, name.replace("/", "_") + ".txt"))
            truth = set(book.headings)
            hits = len(found & truth)
            precision = hits / len(found) if found else 0.0
            recall = hits / len(truth)
            short = short or precision < 1 or recall < 1
            total_true += len(truth)
            total_found += len(found)
            total_hits += hits
            label = name + "　" * max(0, (24 - len(name.encode("gbk"))) // 2)
            print(f"{label}{len(truth):>6}{len(found):>6}{hits:>6}{precision:>7.3f}{recall:>7.3f}  {text}")
    print(f"{'all':<24}{total_true:>6}{total_found:>6}{total_hits:>6}"
          f"{total_hits / max(total_found, 1):>7.3f}{total_hits / total_true:>7.3f}")
    return 1 if short else 0


if __name__ == "__main__":
    sys.exit(main())
