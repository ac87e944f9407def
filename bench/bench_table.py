#!/usr/bin/env python3
"""Runs every benchmark of a release build several times and prints the README's
benchmark table: the paragraph that says when, on what commit and at what load it was
taken, then the rows, each figure the median of the runs with the lowest and the
highest in brackets, each ratio that of the two medians beside it with the lowest and
highest of the runs' own ratios.

Usage: bench_table.py [-n RUNS] [--build] [--only BENCH,...] [--against README.md] BUILD_DIR

It builds nothing unless --build is given (then the benchmark targets, through cmake).
It fails loudly, printing no table, when a benchmark exits non-zero, prints a row whose
two sides did different work ("ratio  n/a" where a ratio is expected), or leaves out a
row of the table. With --against, it then says which rows' ratios fell outside the
ranges printed in that README's table.

Every benchmark prints its figures as rows of one form (bench/BenchRow.h):
  "  <name> ours <value> <unit>[  Qt <value> <unit>  ratio <ratio | n/a>][  (note)]"
To add a benchmark: put it in BENCHES (its executable, arguments and display), and its
rows in TABLE, each cell naming the benchmark's rows as "executable:row name".
"""
import argparse
import datetime
import os
import re
import statistics
import subprocess
import sys
import time

XVFB = ["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24"]

# (executable, arguments, display): "offscreen" for the library's, "xvfb" for the
# OpenGL charts and the monitor.
BENCHES = [
    ("bench_controls", ["pageload", "children", "paint", "theme"], "offscreen"),
    ("bench_layout", [], "offscreen"),
    ("bench_json", [], "offscreen"),
    ("bench_canvas", [], "offscreen"),
    ("bench_tableview", [], "offscreen"),
    ("bench_theme_images", [], "offscreen"),
    ("bench_image_rss", [], "offscreen"),
    ("bench_flowview", [], "offscreen"),
    ("bench_charts", [], "xvfb"),
    ("bench_startup", [], "xvfb"),
    ("bench_refresh", [], "xvfb"),
]

# The table: (row, ours, Qt, ratio). Each cell lists rows of the benchmarks; "|" starts
# another group (its own unit, after "; "); a row name ending in "!" is one whose two
# sides are known to do different work (ours refuses what Qt draws): its ratio is left
# out. The ratio cell lists the rows whose ratios are printed.
C = "bench_controls:"
L = "bench_layout:"
T = "bench_theme_images:"
H = "bench_charts:"
F = "bench_flowview:"
TABLE = [
    ("page build, 2,041 controls, vs unstyled `QUiLoader`", [C + "build 2,041"], [C + "build 2,041"], [C + "build 2,041"]),
    ("page build, 2,041 controls, vs `QUiLoader` with the same look", [C + "build vs styled 2,041"],
     [C + "build vs styled 2,041"], [C + "build vs styled 2,041"]),
    ("page build, 20,401 controls, unstyled / same look", [C + "build 20,401"],
     [C + "build 20,401", C + "build vs styled 20,401"], [C + "build 20,401", C + "build vs styled 20,401"]),
    ("build + first show per control, 205 / 2,041 / 20,401 controls",
     [C + "build+show us/control 205", C + "build+show us/control 2,041", C + "build+show us/control 20,401"],
     [C + "build+show us/control 205", C + "build+show us/control 2,041", C + "build+show us/control 20,401"],
     [C + "build+show us/control 205", C + "build+show us/control 2,041", C + "build+show us/control 20,401"]),
    ("build + first show, 2,041 controls, vs the same look", [C + "build+show vs styled 2,041"],
     [C + "build+show vs styled 2,041"], [C + "build+show vs styled 2,041"]),
    ("layout pass, N = 10 / 100 / 1,000 vs `QHBoxLayout`",
     [L + "layout pass, N = 10", L + "layout pass, N = 100", L + "layout pass, N = 1000"],
     [L + "layout pass, N = 10", L + "layout pass, N = 100", L + "layout pass, N = 1000"],
     [L + "layout pass, N = 10", L + "layout pass, N = 100", L + "layout pass, N = 1000"]),
    ("scroll step over 1,000 children", [L + "scroll step over 1,000 children"], [], []),
    ("20,000 / 200,000 children of one container added and shown vs `QVBoxLayout`",
     [C + "children added + shown 20,000", C + "children added + shown 200,000"],
     [C + "children added + shown 20,000", C + "children added + shown 200,000"],
     [C + "children added + shown 20,000", C + "children added + shown 200,000"]),
    ("painting 1280x800, vs style-sheet widgets / default style", [C + "paint 1280x800 vs style sheets"],
     [C + "paint 1280x800 vs style sheets", C + "paint 1280x800 vs default style"],
     [C + "paint 1280x800 vs style sheets", C + "paint 1280x800 vs default style"]),
    ("theme switch, 1,000 controls, vs app sheet / root sheet / `QPalette` + `QFont`",
     [C + "theme switch vs style sheets"],
     [C + "theme switch vs style sheets", C + "theme switch vs sheet on root", C + "theme switch vs QPalette + QFont"],
     [C + "theme switch vs style sheets", C + "theme switch vs sheet on root", C + "theme switch vs QPalette + QFont"]),
    ("theme of 4,000 icons, load + each image and its grey look, folder vs `QImageReader` on its files / zip vs "
     "minizip + `QImageReader`", [T + "4,000 icons + grey, folder theme", T + "4,000 icons + grey, zip theme"],
     [T + "4,000 icons + grey, folder theme", T + "4,000 icons + grey, zip theme"],
     [T + "4,000 icons + grey, folder theme", T + "4,000 icons + grey, zip theme"]),
    ("repaint of 400 of those icons by name, folder theme, vs drawing each by name through `QPixmapCache::find` / "
     "a `QHash<QString, QPixmap>`, the sides' rounds in turns", [T + "repaint 400 icons, folder theme"],
     [T + "repaint 400 icons, folder theme", T + "repaint 400 icons, folder theme, QHash"],
     [T + "repaint 400 icons, folder theme", T + "repaint 400 icons, folder theme, QHash"]),
    ("the same, zip theme", [T + "repaint 400 icons, zip theme"],
     [T + "repaint 400 icons, zip theme", T + "repaint 400 icons, zip theme, QHash"],
     [T + "repaint 400 icons, zip theme", T + "repaint 400 icons, zip theme, QHash"]),
    ("the same per icon, themes of 1,000 / 16,000 icons, folder",
     [T + "per icon + grey, 1,000, folder", T + "per icon + grey, 16,000, folder"],
     [T + "per icon + grey, 1,000, folder", T + "per icon + grey, 16,000, folder"],
     [T + "per icon + grey, 1,000, folder", T + "per icon + grey, 16,000, folder"]),
    ("the same, zip", [T + "per icon + grey, 1,000, zip", T + "per icon + grey, 16,000, zip"],
     [T + "per icon + grey, 1,000, zip", T + "per icon + grey, 16,000, zip"],
     [T + "per icon + grey, 1,000, zip", T + "per icon + grey, 16,000, zip"]),
    ("the theme's load alone per icon, 1,000 / 16,000 icons, folder; zip",
     [T + "load per icon, 1,000, folder", T + "load per icon, 16,000, folder", "|",
      T + "load per icon, 1,000, zip", T + "load per icon, 16,000, zip"], [], []),
    ("repaint of the same 400 icons from a theme of 1,000 / 16,000, folder, vs `QPixmapCache::find`",
     [T + "repaint 400 of 1,000, folder", T + "repaint 400 of 16,000, folder"],
     [T + "repaint 400 of 1,000, folder", T + "repaint 400 of 16,000, folder"],
     [T + "repaint 400 of 1,000, folder", T + "repaint 400 of 16,000, folder"]),
    ("the same vs a `QHash<QString, QPixmap>`",
     [T + "repaint 400 of 1,000, folder", T + "repaint 400 of 16,000, folder"],
     [T + "repaint 400 of 1,000, folder, QHash", T + "repaint 400 of 16,000, folder, QHash"],
     [T + "repaint 400 of 1,000, folder, QHash", T + "repaint 400 of 16,000, folder, QHash"]),
    ("the same from a zip theme, vs `QPixmapCache::find`",
     [T + "repaint 400 of 1,000, zip", T + "repaint 400 of 16,000, zip"],
     [T + "repaint 400 of 1,000, zip", T + "repaint 400 of 16,000, zip"],
     [T + "repaint 400 of 1,000, zip", T + "repaint 400 of 16,000, zip"]),
    ("the same from a zip theme, vs a `QHash<QString, QPixmap>`",
     [T + "repaint 400 of 1,000, zip", T + "repaint 400 of 16,000, zip"],
     [T + "repaint 400 of 1,000, zip, QHash", T + "repaint 400 of 16,000, zip, QHash"],
     [T + "repaint 400 of 1,000, zip, QHash", T + "repaint 400 of 16,000, zip, QHash"]),
    ("memory 4,000 translucent 32x32 icons drawn once add, resident / heap, vs a `QPixmapCache` of the same pixmaps",
     [T + "4,000 icons drawn, resident", T + "4,000 icons drawn, heap"],
     [T + "4,000 icons drawn, resident", T + "4,000 icons drawn, heap"],
     [T + "4,000 icons drawn, resident", T + "4,000 icons drawn, heap"]),
    ("the same with their grey looks", [T + "4,000 icons + grey drawn, resident", T + "4,000 icons + grey drawn, heap"],
     [T + "4,000 icons + grey drawn, resident", T + "4,000 icons + grey drawn, heap"],
     [T + "4,000 icons + grey drawn, resident", T + "4,000 icons + grey drawn, heap"]),
    ("repaint of 400 / 200 512x512 images (400 / 200 MiB) through the 256 MiB cache vs a 256 MiB `QPixmapCache`",
     [T + "repaint 400 x 512x512, 400 MiB", T + "repaint 200 x 512x512, 200 MiB"],
     [T + "repaint 400 x 512x512, 400 MiB", T + "repaint 200 x 512x512, 200 MiB"],
     [T + "repaint 400 x 512x512, 400 MiB", T + "repaint 200 x 512x512, 200 MiB"]),
    ("every SVG icon of the installed icon themes (Papirus and its variants, Breeze, Adwaita, hicolor: 66,501 files) "
     "loaded through a theme folder and let go, per icon, CPU time, vs `QSvgRenderer` on each file",
     [T + "load per SVG icon, all, CPU"], [T + "load per SVG icon, all, CPU"], [T + "load per SVG icon, all, CPU"]),
    ("heap per control before show", [C + "heap per control before show"], [C + "heap per control before show"],
     [C + "heap per control before show"]),
    ("heap per control after show, less the window's backing store", [C + "heap per control shown (no store)"],
     [C + "heap per control shown (no store)"], [C + "heap per control shown (no store)"]),
    ("JSON page parse vs jsoncpp's reader / `QJsonDocument`", ["bench_json:page parse vs jsoncpp's reader"],
     ["bench_json:page parse vs jsoncpp's reader", "bench_json:page parse vs QJsonDocument"],
     ["bench_json:page parse vs jsoncpp's reader", "bench_json:page parse vs QJsonDocument"]),
    ("design canvas open, 613 / 3,061 / 9,997 controls, CPU time, vs the same page file built as a plain page",
     ["bench_canvas:canvas open, 613 controls", "bench_canvas:canvas open, 3061 controls", "bench_canvas:canvas open, 9997 controls"],
     ["bench_canvas:canvas open, 613 controls", "bench_canvas:canvas open, 3061 controls", "bench_canvas:canvas open, 9997 controls"],
     ["bench_canvas:canvas open, 613 controls", "bench_canvas:canvas open, 3061 controls", "bench_canvas:canvas open, 9997 controls"]),
    ("table paging, 10,000 rows", ["bench_tableview:table paging, 10,000 rows"],
     ["bench_tableview:table paging, 10,000 rows"], ["bench_tableview:table paging, 10,000 rows"]),
    ("table `setModel`, 100,000 rows: the call / the first paint",
     ["bench_tableview:table setModel 100,000 rows: call", "bench_tableview:table setModel: first paint after"],
     ["bench_tableview:table setModel 100,000 rows: call", "bench_tableview:table setModel: first paint after"],
     ["bench_tableview:table setModel 100,000 rows: call", "bench_tableview:table setModel: first paint after"]),
    ("line chart 10k / 100k, first frame after new data", [H + "line 10k first frame, new data", H + "line 100k first frame, new data"],
     [H + "line 10k first frame, new data", H + "line 100k first frame, new data"], [H + "line 10k first frame, new data", H + "line 100k first frame, new data"]),
    ("line chart 10k / 100k, unchanged frame (ours from its cache)", [H + "line 10k cached frame", H + "line 100k cached frame"],
     [H + "line 10k cached frame", H + "line 100k cached frame"], [H + "line 10k cached frame", H + "line 100k cached frame"]),
    ("line chart, live data 10k / 100k / 1M / 5M",
     [H + "line live 10k", H + "line live 100k", H + "line live 1M", H + "line live 5M"],
     [H + "line live 10k", H + "line live 100k", H + "line live 1M", H + "line live 5M"],
     [H + "line live 10k", H + "line live 100k", H + "line live 1M", H + "line live 5M"]),
    ("line chart, live data 100k / 1M / 10M vs Qt fed the thinned points",
     [H + "line live 100k, Qt fed thinned", H + "line live 1M, Qt fed thinned", H + "line live 10M, Qt fed thinned"],
     [H + "line live 100k, Qt fed thinned", H + "line live 1M, Qt fed thinned", H + "line live 10M, Qt fed thinned"],
     [H + "line live 100k, Qt fed thinned", H + "line live 1M, Qt fed thinned", H + "line live 10M, Qt fed thinned"]),
    ("the same, Qt thinning the new data in its frame",
     [H + "line live 100k, Qt thins", H + "line live 1M, Qt thins", H + "line live 10M, Qt thins"],
     [H + "line live 100k, Qt thins", H + "line live 1M, Qt thins", H + "line live 10M, Qt thins"],
     [H + "line live 100k, Qt thins", H + "line live 1M, Qt thins", H + "line live 10M, Qt thins"]),
    ("our live frame 100k / 1M (the rows above): reducing the points to the plot's columns; the frame without multisampling",
     [H + "line live 100k, ours, reducing", H + "line live 1M, ours, reducing", "|",
      H + "line live 100k, ours, no MSAA", H + "line live 1M, ours, no MSAA"], [], []),
    ("financial, 5,000 candles / with four moving averages, raster against raster, vs `QCandlestickSeries` "
     "(+ `QLineSeries`) fed every candle and average point", [H + "candles 5000 raster", H + "candles 5000 + 4 MAs raster"],
     [H + "candles 5000 raster", H + "candles 5000 + 4 MAs raster"],
     [H + "candles 5000 raster", H + "candles 5000 + 4 MAs raster"]),
    ("financial, the same with ours on OpenGL, CPU time of the process on each side, each side's frames alone in a "
     "fresh process of its own (Mesa draws on all of the machine's threads, Qt on one)",
     [H + "candles 5000 OpenGL CPU", H + "candles 5000 + 4 MAs OpenGL CPU"],
     [H + "candles 5000 OpenGL CPU", H + "candles 5000 + 4 MAs OpenGL CPU"],
     [H + "candles 5000 OpenGL CPU", H + "candles 5000 + 4 MAs OpenGL CPU"]),
    ("financial, 5,000 / 50,000 candles, raster, vs `QCandlestickSeries` fed the candle of each pixel column ours "
     "draws (807)", [H + "candles 5k, Qt per column", H + "candles 50k, Qt per column"],
     [H + "candles 5k, Qt per column", H + "candles 50k, Qt per column"],
     [H + "candles 5k, Qt per column", H + "candles 50k, Qt per column"]),
    ("the same with four moving averages, Qt's `QLineSeries` fed each average's lowest and highest point of each "
     "pixel column", [H + "candles 5k + 4 MAs, Qt per column", H + "candles 50k + 4 MAs, Qt per column"],
     [H + "candles 5k + 4 MAs, Qt per column", H + "candles 50k + 4 MAs, Qt per column"],
     [H + "candles 5k + 4 MAs, Qt per column", H + "candles 50k + 4 MAs, Qt per column"]),
    ("our financial frame with the four averages over ours without, 5,000 / 50,000 candles, raster: the same "
     "averages in each frame (a repaint) / new data in each frame (averages, their points and columns worked out "
     "anew)", [H + "candles 5k, 4 MAs over none", H + "candles 50k, 4 MAs over none", "|",
               H + "candles 5k, 4 MAs over none, new", H + "candles 50k, 4 MAs over none, new"], [], []),
    ("sweep trace, 10,083 samples", [H + "sweep 10083 samples"], [H + "sweep 10083 samples"], [H + "sweep 10083 samples"]),
    ("our charts alone on hostile data: line 1M wavy / 100k extreme with markers, scatter 2 x 1M, bar 1M, sweep "
     "1M wavy / 100k extreme with fills",
     [H + "line 1M wavy, markers", H + "line 100k extreme, markers", H + "scatter 2 x 1M", H + "bar 1M",
      H + "sweep 1M wavy, fills", H + "sweep 100k extreme, fills"], [], []),
    ("flow view paint, 100 / 2,000 / 8,000 nodes, 3 connections each, vs plain `QPainter` drawing the same "
     "curves (same pixels)", [F + "100 nodes, 300 connections", F + "2,000 nodes, 6,000 connections", F + "8,000 nodes, 24,000 connections"],
     [F + "100 nodes, 300 connections", F + "2,000 nodes, 6,000 connections", F + "8,000 nodes, 24,000 connections"],
     [F + "100 nodes, 300 connections", F + "2,000 nodes, 6,000 connections", F + "8,000 nodes, 24,000 connections"]),
    ("the same, 2,000 nodes, a title of 100,000 characters on one in seven, cut alike on both sides",
     [F + "2,000 nodes, 1 in 7 titles of 100k"], [F + "2,000 nodes, 1 in 7 titles of 100k"],
     [F + "2,000 nodes, 1 in 7 titles of 100k"]),
    ("the monitor's flow view, 11 nodes whole / one node's box repainted",
     [F + "11 nodes, 33 connections", F + "11 nodes, one node's box repainted"],
     [F + "11 nodes, 33 connections", F + "11 nodes, one node's box repainted"],
     [F + "11 nodes, 33 connections", F + "11 nodes, one node's box repainted"]),
    ("`tarnex` start to first frame (OpenGL check included) / resident memory vs a Qt program with the same check "
     "and one `QOpenGLWidget`", ["bench_startup:tarnex start to first frame", "bench_startup:tarnex resident memory"],
     ["bench_startup:tarnex start to first frame", "bench_startup:tarnex resident memory"],
     ["bench_startup:tarnex start to first frame", "bench_startup:tarnex resident memory"]),
    ("`tarnex` CPU a simulator tick with the refresh and repaint: ordinary / fifth (history rolled) / tick and "
     "refresh alone; with its charts hidden, ordinary / fifth",
     ["bench_refresh:tick, ordinary", "bench_refresh:tick, fifth (history rolled)",
      "bench_refresh:tick and refresh, no painting", "|", "bench_refresh:tick, ordinary, charts hidden",
      "bench_refresh:tick, fifth, charts hidden"], [], []),
    ("`tarnex` resident growth over a soak of 1,000 ticks", ["bench_refresh:soak, resident growth"], [], []),
    ("peak memory of loading and drawing one theme image, 8192x8192 (ours refuses it) / 4096x4096 8 bits / 16 bits / "
     "4096x4096 with four such images cached, vs Qt decoding and drawing it alone",
     ["bench_image_rss:8192x8192, 8 bits, peak!", "bench_image_rss:4096x4096, 8 bits, peak",
      "bench_image_rss:4096x4096, 16 bits, peak", "bench_image_rss:4 cached + 4096x4096, 8 bits, peak"],
     ["bench_image_rss:8192x8192, 8 bits, peak!", "bench_image_rss:4096x4096, 8 bits, peak",
      "bench_image_rss:4096x4096, 16 bits, peak", "bench_image_rss:4 cached + 4096x4096, 8 bits, peak"],
     ["bench_image_rss:4096x4096, 8 bits, peak", "bench_image_rss:4096x4096, 16 bits, peak",
      "bench_image_rss:4 cached + 4096x4096, 8 bits, peak"]),
]

ROW = re.compile(r"^  ([^\s(].*?)\s+ours\s+(-?[\d.]+) (\S+)(?:\s+Qt\s+(-?[\d.]+) \S+\s+ratio\s+([\d.]+|n/a))?")


def fail(message):
    print(f"bench_table: {message}", file=sys.stderr)
    sys.exit(1)


def figure(value):
    """Three significant figures, thousands grouped: 0.413, 8.22, 78.6, 788, 2,508."""
    size = abs(value)
    if size >= 1000:
        return f"{value:,.0f}"
    if size >= 100:
        return f"{value:.0f}"
    if size >= 10:
        return f"{value:.1f}"
    if size >= 1:
        return f"{value:.2f}"
    return f"{value:.3f}"


def spread(values, shown=figure):
    return f"{shown(statistics.median(values))} [{shown(min(values))}-{shown(max(values))}]"


def ratio_text(value):
    return f"{value:.2f}"


def run_bench(build, name, args, display, env):
    path = os.path.join(build, "bench", name)
    if not os.access(path, os.X_OK):
        fail(f"{path} is missing: build the benchmarks first (or pass --build)")
    command = ([path] if display == "offscreen" else XVFB + [path]) + args
    started = time.time()
    done = subprocess.run(command, capture_output=True, text=True, env=env, check=False)
    if done.returncode != 0:
        sys.stderr.write(done.stdout[-3000:] + done.stderr[-3000:])
        fail(f"{name} {' '.join(args)} exited with {done.returncode}")
    rows = {}
    for line in done.stdout.splitlines():
        m = ROW.match(line)
        if not m:
            continue
        rows[m.group(1).strip()] = {
            "ours": float(m.group(2)), "unit": m.group(3),
            "qt": float(m.group(4)) if m.group(4) else None,
            "ratio": None if not m.group(5) or m.group(5) == "n/a" else float(m.group(5)),
            "na": m.group(5) == "n/a", "line": line,
        }
    return rows, done.stderr, time.time() - started


def keys_of(table):
    for _, *cells in table:
        for cell in cells:
            for key in cell:
                if key != "|":
                    yield key


def cell_text(keys, results, side):
    groups, group = [], []
    for key in keys + ["|"]:
        if key != "|":
            group.append(key)
            continue
        if not group:
            continue
        figures, units = [], []
        for k in group:
            rows = results[k.rstrip("!")]
            figures.append(spread([r[side] for r in rows]))
            units.append(rows[0]["unit"])
        if len(set(units)) == 1:
            groups.append(" / ".join(figures) + f" {units[0]}")
        else:
            groups.append(" / ".join(f"{f} {u}" for f, u in zip(figures, units)))
        group = []
    return "; ".join(groups)


def ratio_cell(keys, results):
    parts = []
    for k in keys:
        rows = results[k]
        ratio = statistics.median([r["ours"] for r in rows]) / statistics.median([r["qt"] for r in rows])
        runs = [r["ratio"] for r in rows]
        parts.append(f"{ratio_text(ratio)} [{ratio_text(min(runs))}-{ratio_text(max(runs))}]")
    return " / ".join(parts)


def ratios_of(text):
    """The (ratio, lowest, highest) of each part of a ratio cell."""
    return [(float(a), float(b), float(c)) for a, b, c in re.findall(r"([\d.]+) \[([\d.]+)-([\d.]+)\]", text)]


def moved_rows(readme, table_lines):
    """Rows whose ratios fall outside the ranges that README's table printed."""
    old = {}
    for line in open(readme, encoding="utf-8"):
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) == 4 and cells[3] and cells[3] != "ratio" and not cells[3].startswith("-"):
            old[cells[0]] = ratios_of(cells[3])
    moved = []
    for line in table_lines:
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) != 4 or cells[0] not in old or not cells[3]:
            continue
        new = ratios_of(cells[3])
        outside = [f"{n[0]:.2f} outside [{o[1]:.2f}-{o[2]:.2f}]" for n, o in zip(new, old[cells[0]])
                   if not o[1] <= n[0] <= o[2]]
        if outside:
            moved.append(f"{cells[0]}: {'; '.join(outside)}")
    return moved


def cache_value(build, name):
    try:
        for line in open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8"):
            if line.startswith(name + ":"):
                return line.split("=", 1)[1].strip()
    except OSError:
        pass
    return ""


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build", help="a release build folder configured with -DVYR_BUILD_BENCH=ON")
    parser.add_argument("-n", type=int, default=5, help="runs of each benchmark (5)")
    parser.add_argument("--build", dest="do_build", action="store_true", help="build the benchmarks first")
    parser.add_argument("--only", help="comma-separated benchmarks to run; prints their rows only")
    parser.add_argument("--against", help="a README whose table's ratio ranges the new ratios are held to")
    opts = parser.parse_args()
    build = os.path.abspath(opts.build)
    benches = BENCHES
    if opts.only:
        wanted = opts.only.split(",")
        benches = [b for b in BENCHES if b[0] in wanted]
        if len(benches) != len(wanted):
            fail(f"unknown benchmark among {opts.only}")
    if opts.do_build:
        targets = [t for b in benches for t in ("--target", b[0])]
        if subprocess.run(["cmake", "--build", build] + targets, check=False).returncode != 0:
            fail("the build failed")
    if cache_value(build, "CMAKE_BUILD_TYPE") != "Release":
        print("bench_table: warning: not a Release build", file=sys.stderr)

    env = dict(os.environ)
    env["QT_QPA_PLATFORM"] = "offscreen"
    source = cache_value(build, "CMAKE_HOME_DIRECTORY") or os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    commit = subprocess.run(["git", "-C", source, "rev-parse", "--short", "HEAD"], capture_output=True, text=True,
                            check=False).stdout.strip() or "unknown"
    dirty = subprocess.run(["git", "-C", source, "status", "--porcelain", "--untracked-files=no"],
                           capture_output=True, text=True, check=False).stdout.strip()

    results = {}
    loads = []
    start = datetime.datetime.now(datetime.timezone.utc)
    for name, args, display in benches:
        per_bench = {}
        for run in range(opts.n):
            env["QT_QPA_PLATFORM"] = "offscreen" if display == "offscreen" else "xcb"
            before = os.getloadavg()
            rows, stderr, seconds = run_bench(build, name, args, display, env)
            after = os.getloadavg()
            loads += [before, after]
            print(f"bench_table: {name} run {run + 1}/{opts.n}: {len(rows)} rows, {seconds:.0f} s, "
                  f"load {after[0]:.1f}", file=sys.stderr)
            for row_name, row in rows.items():
                key = f"{name}:{row_name}"
                per_bench.setdefault(key, []).append(row)
        for key, rows in per_bench.items():
            if len(rows) != opts.n:
                fail(f"{key} printed in {len(rows)} of {opts.n} runs")
        results.update(per_bench)
    end = datetime.datetime.now(datetime.timezone.utc)

    # Every equal-work check held, and every row of the table was printed.
    expected_na = {k[:-1] for k in keys_of(TABLE) if k.endswith("!")}
    for key, rows in results.items():
        if any(r["na"] for r in rows) and key not in expected_na:
            bad = next(r["line"] for r in rows if r["na"])
            fail(f"the two sides did different work in {key}:\n{bad}")
    ran = {b[0] for b in benches}
    table = [t for t in TABLE if all(k.split(":")[0] in ran for c in t[1:] for k in c if k != "|")]
    missing = sorted({k.rstrip("!") for t in table for c in t[1:] for k in c if k != "|"} - set(results))
    if missing:
        fail("rows not printed: " + "; ".join(missing))

    cores = os.cpu_count()
    compiler = os.path.basename(cache_value(build, "CMAKE_CXX_COMPILER")) or "?"
    minute = [l[0] for l in loads]
    fifteen = [l[2] for l in loads]
    print(f"Every row below comes from one run of `python3 bench/bench_table.py {os.path.basename(build)}`: each "
          f"benchmark run {opts.n} times, one after another, on {start:%Y-%m-%d} from {start:%H:%M} to "
          f"{end:%H:%M} UTC, all built from commit {commit}{' with uncommitted changes' if dirty else ''}, on this "
          f"machine ({cores} cores, {cache_value(build, 'CMAKE_BUILD_TYPE') or '?'}, {compiler}), load average "
          f"{min(minute):.1f} to {max(minute):.1f} over the minute as each benchmark started and ended, "
          f"{min(fifteen):.1f} to {max(fifteen):.1f} over fifteen minutes. Each figure is the median of the runs "
          f"with the lowest and highest in brackets; each ratio (ours / Qt, below 1 means faster) is that of the "
          f"two medians beside it, with the lowest and highest of the runs' own ratios, and is printed only after "
          f"the bench checked both sides did the same work.")
    print()
    lines = ["| row | ours | Qt | ratio |", "|---|---|---|---|"]
    for label, ours, qt, ratio in table:
        lines.append(f"| {label} | {cell_text(ours, results, 'ours')} | "
                     f"{cell_text(qt, results, 'qt') if qt else ''} | {ratio_cell(ratio, results) if ratio else ''} |")
    print("\n".join(lines))
    print(f"bench_table: {(end - start).total_seconds() / 60:.1f} minutes", file=sys.stderr)
    if opts.against:
        moved = moved_rows(opts.against, lines[2:])
        print(f"bench_table: {len(moved)} rows moved outside the ranges of {opts.against}"
              + "".join(f"\n  {m}" for m in moved), file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
