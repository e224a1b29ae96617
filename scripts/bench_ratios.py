#!/usr/bin/env python3
"""Tabulates Google Benchmark JSON output as ratios of ours to each peer.

Benchmarks are named "<case>/<implementation>"; the implementation "ours" is
xvkit. For every case the table lists our CPU time and, per peer, its time and
the ratio ours / peer (below 1: we are faster). Targets are checked where a
case has a floor peer (memcpy for the bulk operations, memchr for the search).

usage: bench_ratios.py result.json [result.json ...]
"""
import json
import sys
from collections import OrderedDict

# case prefix -> (floor peer, largest acceptable ours / floor)
TARGETS = {"bitvec.first_true": ("memchr", 1.5)}
BULK_FLOOR = ("memcpy", 1.5)


def load(paths):
    cases = OrderedDict()
    for path in paths:
        with open(path) as f:
            for b in json.load(f)["benchmarks"]:
                if b.get("run_type") == "aggregate" or b.get("error_occurred"):
                    continue
                case, _, impl = b["name"].rpartition("/")
                scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
                cases.setdefault(case, OrderedDict())[impl] = b["cpu_time"] * scale
    return cases


def human(ns):
    for unit, size in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if ns >= size:
            return "%.3g %s" % (ns / size, unit)
    return "%.3g ns" % ns


def main(paths):
    cases = load(paths)
    missed = 0
    print("%-34s %-10s %-16s %-10s %s" % ("case", "ours", "peer", "peer time", "ours/peer"))
    for case, impls in cases.items():
        ours = impls.get("ours")
        if ours is None:
            continue
        for impl, t in impls.items():
            if impl == "ours":
                continue
            print("%-34s %-10s %-16s %-10s %.2f" % (case, human(ours), impl, human(t), ours / t))
        floor = TARGETS.get(case, BULK_FLOOR if case.startswith("bitvec.") else None)
        if floor and floor[0] in impls:
            ratio = ours / impls[floor[0]]
            met = ratio <= floor[1]
            missed += not met
            print("%-34s target ours/%s <= %.1f: %.2f %s" %
                  ("", floor[0], floor[1], ratio, "met" if met else "NOT MET"))
    return 1 if missed else 0


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1:]))
