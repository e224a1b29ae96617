#!/usr/bin/env python3
"""Times `xvkit grep` against GNU grep (`LC_ALL=C grep -E`) on 100 MB of C headers.

Builds the tool as scripts/run.sh does (Release, build/release), makes the text by concatenating
the headers under /usr/include (in a temporary directory, not in the
repository), then runs every case several times, ours and GNU's interleaved,
with the output written to a file (GNU grep stops at the first match when its
output is /dev/null). Prints the median wall-clock time of each and the ratio
ours / GNU (below 1: xvkit is faster), and checks that both printed the same.
Then times a single line of 100 MB and of 200 MB through a pipe, which must
take about twice as long, not four times.

usage: grep_bench.py [--runs N] [--megabytes N]
"""
import argparse
import glob
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODES = ["-c", "-n", "-o", "-i", "-v"]
PATTERNS = [("literal", "static_assert"), ("class", "[0-9][0-9]*[A-Z]"),
            ("anchored", "^#define [A-Z_]+ 0x"), ("closure", "struct [a-z_]+ \\{")]


def build():
    # The release tree of scripts/run.sh: the same build the README's main
    # command makes, so the benchmark times the tool a user runs.
    subprocess.run([os.path.join(ROOT, "scripts", "run.sh"), "--version"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(ROOT, "build", "release", "tools", "xvkit")


def make_text(path, size):
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


def timed(command, out_path, stdin=None):
    with open(out_path, "wb") as out:
        start = time.perf_counter()
        subprocess.run(command, stdout=out, stdin=stdin, check=False,
                       env=dict(os.environ, LC_ALL="C"))
        return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--megabytes", type=int, default=100)
    args = parser.parse_args()
    tool = build()
    with tempfile.TemporaryDirectory() as tmp:
        text = os.path.join(tmp, "headers.txt")
        make_text(text, args.megabytes * 1000 * 1000)
        ours_out, gnu_out = os.path.join(tmp, "ours.out"), os.path.join(tmp, "gnu.out")
        print(f"{args.megabytes} MB of headers, {args.runs} interleaved runs, median seconds")
        print(f"{'case':40} {'ours':>8} {'GNU':>8} {'ratio':>6}")
        worst = 0.0
        for kind, pattern in PATTERNS:
            for mode in MODES:
                ours, gnu = [], []
                for _ in range(args.runs):
                    ours.append(timed([tool, "grep", mode, pattern, text], ours_out))
                    gnu.append(timed(["grep", "-E", mode, pattern, text], gnu_out))
                with open(ours_out, "rb") as a, open(gnu_out, "rb") as b:
                    same = a.read() == b.read()
                ratio = statistics.median(ours) / statistics.median(gnu)
                worst = max(worst, ratio)
                print(f"{mode + ' ' + kind + ' ' + repr(pattern):40} "
                      f"{statistics.median(ours):8.3f} {statistics.median(gnu):8.3f} "
                      f"{ratio:6.2f}{'' if same else '  OUTPUT DIFFERS'}")
        print(f"largest ratio {worst:.2f}")

        line = os.path.join(tmp, "line.txt")
        for megabytes in (100, 200):
            with open(line, "wb") as f:
                chunk = b"a" * 1000000
                for _ in range(megabytes):
                    f.write(chunk)
            times = []
            for _ in range(3):
                cat = subprocess.Popen(["cat", line], stdout=subprocess.PIPE)
                times.append(timed([tool, "grep", "-c", "q"], ours_out, stdin=cat.stdout))
                cat.wait()
            print(f"single line of {megabytes} MB through a pipe, -c q: "
                  f"{statistics.median(times):.3f} s")


if __name__ == "__main__":
    sys.exit(main())
