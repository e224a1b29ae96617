#!/usr/bin/env python3
"""Times `xvkit grep` against GNU grep (`LC_ALL=C grep`) and prints ours / GNU for every case.

Builds the tool as scripts/run.sh does (Release, build/release) and makes its texts in a temporary
directory (not in the repository): the headers under /usr/include concatenated (100 MB, and its
first 20 MB), and 15 MB of generated lines of words in which common words match often. Every
case runs several times, ours and GNU's interleaved, with the output written to a file (GNU grep
stops at the first match when its output is /dev/null); the script checks that both printed the
same bytes and gives the median wall-clock times and their ratio (below 1: xvkit is faster).

Cases: the everyday options over 100 MB of headers (four patterns with -c -n -o -i -v); over
20 MB of headers and over the 15 MB of words, -F -f with 1,000 and 10,000 strings, -f with 1,000
light patterns, 20 -e patterns, plain -c, -v -c, -w on a common word, -x, -B 1000 and -i. Then a
single line of 100 MB and of 200 MB through a pipe, which must take about twice as long, not
four times. --markdown prints the tables as the README shows them.

usage: grep_bench.py [--runs N] [--only SUBSTRING] [--markdown] [--skip-everyday]
"""
import argparse
import glob
import os
import random
import re
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODES = ["-c", "-n", "-o", "-i", "-v"]
PATTERNS = [("literal", "static_assert"), ("class", "[0-9][0-9]*[A-Z]"),
            ("anchored", "^#define [A-Z_]+ 0x"), ("closure", "struct [a-z_]+ \\{")]
COMMON_WORDS = ["the", "of", "and", "to", "in", "is", "that", "for", "it", "as", "with", "was",
                "on", "be", "by", "this", "are", "or", "from", "at"]


def build():
    # The release tree of scripts/run.sh: the same build the README's main
    # command makes, so the benchmark times the tool a user runs.
    subprocess.run([os.path.join(ROOT, "scripts", "run.sh"), "--version"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(ROOT, "build", "release", "tools", "xvkit")


def make_headers(path, size):
    headers = sorted(glob.glob("/usr/include/**/*.h", recursive=True))
    written = 0
    with open(path, "wb") as out:
        while written < size:
            for header in headers:
                try:
                    with open(header, "rb") as f:
                        data = f.read()
                except OSError:
                    continue
                if b"\0" in data:
                    continue
                out.write(data[:size - written])
                written += min(len(data), size - written)
                if written >= size:
                    break


def make_words(path, size, rng):
    """Lines of 4 to 14 words: a third of them common English words, the rest drawn from 20,000
    made-up lower-case words, the first ones far more frequent than the last."""
    vocabulary = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(3, 10)))
                  for _ in range(20000)]
    written = 0
    with open(path, "w") as out:
        while written < size:
            words = []
            for _ in range(rng.randint(4, 14)):
                if rng.random() < 0.33:
                    words.append(rng.choice(COMMON_WORDS))
                else:
                    words.append(vocabulary[int(len(vocabulary) * rng.random() ** 3)])
            line = " ".join(words)
            if rng.random() < 0.1:
                line = line.capitalize() + "."
            out.write(line + "\n")
            written += len(line) + 1


def distinct_words(path, limit):
    """The distinct words of `path` (identifiers, for headers) in order of first appearance."""
    seen = {}
    with open(path, "rb") as f:
        for word in re.findall(rb"[A-Za-z_][A-Za-z0-9_]{3,}", f.read(8 * 1000 * 1000)):
            seen.setdefault(word, None)
            if len(seen) >= limit:
                break
    return [w.decode() for w in seen]


def pattern_file(tmp, name, lines):
    path = os.path.join(tmp, name)
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    return path


def light_patterns(words, rng):
    """Patterns of the light language made from words: a letter becomes a class or '.', a
    letter gets a closure."""
    patterns = []
    for word in words:
        i = rng.randrange(1, len(word) - 1)
        kind = rng.randrange(3)
        if kind == 0:
            patterns.append(word[:i] + "[a-z]" + word[i + 1:])
        elif kind == 1:
            patterns.append(word[:i] + "." + word[i + 1:])
        else:
            patterns.append(word[:i + 1] + "+" + word[i + 1:])
    return patterns


def timed(command, out_path, stdin=None):
    with open(out_path, "wb") as out:
        start = time.perf_counter()
        subprocess.run(command, stdout=out, stdin=stdin, check=False,
                       env=dict(os.environ, LC_ALL="C"))
        return time.perf_counter() - start


def compare(tool, args, text, runs, tmp):
    """Median seconds of ours and GNU's, interleaved, and whether both printed the same."""
    ours_out, gnu_out = os.path.join(tmp, "ours.out"), os.path.join(tmp, "gnu.out")
    ours, gnu = [], []
    for _ in range(runs):
        ours.append(timed([tool, "grep"] + args + [text], ours_out))
        gnu.append(timed(["grep"] + args + [text], gnu_out))
    with open(ours_out, "rb") as a, open(gnu_out, "rb") as b:
        same = a.read() == b.read()
    return statistics.median(ours), statistics.median(gnu), same


def cases_over(name, text, tmp, words, rng):
    """The cases of the grep issue over one text."""
    strings = words[:10000]
    rng.shuffle(strings)
    common = "the"
    line = "^[a-z ]+$" if name == "words" else "^#endif$"
    return [
        ("-F -f, 1,000 strings", ["-F", "-c", "-f", pattern_file(tmp, name + "-1k", strings[:1000])]),
        ("-F -f, 10,000 strings", ["-F", "-c", "-f", pattern_file(tmp, name + "-10k", strings)]),
        ("-f, 1,000 light patterns",
         ["-E", "-c", "-f", pattern_file(tmp, name + "-light", light_patterns(strings[:1000], rng))]),
        ("20 -e patterns", ["-E", "-c"] + [a for w in strings[:20] for a in ("-e", w)]),
        ("-c", ["-E", "-c", common]),
        ("-v -c", ["-E", "-v", "-c", common]),
        ("-w " + common, ["-E", "-w", "-c", common]),
        ("-x", ["-E", "-x", "-c", line]),
        ("-B 1000", ["-E", "-B", "1000", words[2000]]),
        ("-i", ["-E", "-i", "-c", "The"]),
    ]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--only", default="", help="run the cases whose name holds this")
    parser.add_argument("--markdown", action="store_true")
    parser.add_argument("--skip-everyday", action="store_true")
    args = parser.parse_args()
    tool = build()
    rng = random.Random(27)
    worst = 0.0
    with tempfile.TemporaryDirectory() as tmp:
        headers = os.path.join(tmp, "headers.txt")
        make_headers(headers, 100 * 1000 * 1000)
        headers20 = os.path.join(tmp, "headers20.txt")
        with open(headers, "rb") as f, open(headers20, "wb") as out:
            out.write(f.read(20 * 1000 * 1000))
        words_text = os.path.join(tmp, "words.txt")
        make_words(words_text, 15 * 1000 * 1000, rng)
        print(f"{args.runs} interleaved runs, median seconds, ours / GNU")

        results = {}
        for name, text in (("headers", headers20), ("words", words_text)):
            for case, case_args in cases_over(name, text, tmp, distinct_words(text, 10000), rng):
                if args.only not in case:
                    continue
                ours, gnu, same = compare(tool, case_args, text, args.runs, tmp)
                ratio = ours / gnu
                worst = max(worst, ratio)
                results[(case, name)] = (ours, gnu, ratio, same)
                print(f"{case:28} {name:8} {ours:8.3f} {gnu:8.3f} {ratio:6.2f}"
                      f"{'' if same else '  OUTPUT DIFFERS'}", flush=True)

        everyday = {}
        if not args.skip_everyday and not args.only:
            for kind, pattern in PATTERNS:
                for mode in MODES:
                    ours, gnu, same = compare(tool, ["-E", mode, pattern], headers, args.runs, tmp)
                    ratio = ours / gnu
                    worst = max(worst, ratio)
                    everyday[(kind, mode)] = ratio
                    print(f"{mode + ' ' + kind + ' ' + repr(pattern):40} {ours:8.3f} {gnu:8.3f} "
                          f"{ratio:6.2f}{'' if same else '  OUTPUT DIFFERS'}", flush=True)
        print(f"largest ratio {worst:.2f}")

        if args.markdown:
            print("\n| case | 20 MB of headers | 15 MB of words |\n|---|---|---|")
            for case in dict.fromkeys(case for case, _ in results):
                cells = []
                for name in ("headers", "words"):
                    if (case, name) in results:
                        ours, gnu, ratio, _ = results[(case, name)]
                        cells.append(f"{ratio:.2f} ({ours * 1000:.0f} / {gnu * 1000:.0f} ms)")
                    else:
                        cells.append("")
                print(f"| `{case}` | " + " | ".join(cells) + " |")
            if everyday:
                print("\n| pattern | " + " | ".join(f"`{m}`" for m in MODES) +
                      " |\n|---|" + "---|" * len(MODES))
                for kind, pattern in PATTERNS:
                    print(f"| {kind} `{pattern}` | " +
                          " | ".join(f"{everyday[(kind, m)]:.2f}" for m in MODES) + " |")

        if not args.only:
            line = os.path.join(tmp, "line.txt")
            for megabytes in (100, 200):
                with open(line, "wb") as f:
                    chunk = b"a" * 1000000
                    for _ in range(megabytes):
                        f.write(chunk)
                times = []
                for _ in range(3):
                    cat = subprocess.Popen(["cat", line], stdout=subprocess.PIPE)
                    times.append(timed([tool, "grep", "-c", "q"], os.path.join(tmp, "ours.out"),
                                       stdin=cat.stdout))
                    cat.wait()
                print(f"single line of {megabytes} MB through a pipe, -c q: "
                      f"{statistics.median(times):.3f} s")


if __name__ == "__main__":
    sys.exit(main())
