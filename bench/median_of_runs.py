#!/usr/bin/env python3
"""Runs a benchmark several times and prints the median of each row's figures, each
followed by its spread: the lowest and the highest of the runs, in brackets.

Usage: median_of_runs.py [-n RUNS] BENCHMARK [ARGS...]
Rows are the lines that carry "ours ... Qt ..." figures; a row that printed no ratio in
any run prints none either. A row's ratio is that of its two medians, so that it matches
the figures printed beside it; its spread is that of the runs' own ratios.
"""
import re
import statistics
import subprocess
import sys

ROW = re.compile(r"^  (.{34}) ours\s+([\d.]+) (\S+)(?:\s+Qt\s+([\d.]+) \S+\s+ratio\s+([\d.]+|n/a))?")


def figure(value):
    # Sub-unit figures (a 0.2 ms call) keep a third decimal.
    return f"{value:.3f}" if value < 1 else f"{value:.2f}"


def spread(values, shown=figure, width=9):
    """The median of the runs and, in brackets, the lowest and the highest."""
    return f"{shown(statistics.median(values)):>{width}} [{shown(min(values))}-{shown(max(values))}]"


def main():
    args = sys.argv[1:]
    runs = 5
    if len(args) >= 2 and args[0] == "-n":
        runs, args = int(args[1]), args[2:]
    if not args:
        print(__doc__)
        return 2
    rows = {}
    order = []
    for _ in range(runs):
        out = subprocess.run(args, capture_output=True, text=True, check=False).stdout
        for line in out.splitlines():
            m = ROW.match(line)
            if not m:
                continue
            name = m.group(1).strip()
            if name not in rows:
                rows[name] = {"unit": m.group(3), "ours": [], "qt": [], "ratio": []}
                order.append(name)
            r = rows[name]
            r["ours"].append(float(m.group(2)))
            if m.group(4):
                r["qt"].append(float(m.group(4)))
            if m.group(5) and m.group(5) != "n/a":
                r["ratio"].append(float(m.group(5)))
            elif m.group(5):
                r["ratio"].append(None)
    print(f"median of {runs} runs [lowest-highest]")
    for name in order:
        r = rows[name]
        line = f"  {name:34s} ours {spread(r['ours'])} {r['unit']:2s}"
        if r["qt"]:
            line += f"  Qt {spread(r['qt'])} {r['unit']:2s}"
            if None in r["ratio"] or not r["ratio"] or statistics.median(r["qt"]) == 0:
                line += "  ratio  n/a"
            else:
                ratio = statistics.median(r["ours"]) / statistics.median(r["qt"])
                line += f"  ratio {ratio:5.2f} [{min(r['ratio']):.2f}-{max(r['ratio']):.2f}]"
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
