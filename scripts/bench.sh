#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks (release build with debug information, in build/ or BUILD=dir),
# runs the paths a user waits on against their floors and prints the README's table:
# each path, its floor measured in the same run, the ratio and its bound. Then the
# program's memory through scripts/memory.sh. Exits non-zero when a row is out of bounds.
#
# Every timing is the median of REPEAT runs (default 5) of the benchmark, the runs of
# one program interleaved at random so that a busy moment does not fall on one path only.
# Run it on a quiet machine: other work on the processors shows up as time here.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
stepora_install_deps python3

build=${BUILD:-build}
repeat=${REPEAT:-5}
export QT_QPA_PLATFORM=offscreen

echo "== building the benchmarks in $build/" >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target bench_csv bench_graph bench_paint stepora >&2

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

run() {  # program folder, filter, output name
    echo "== $1 $2" >&2
    (cd "$build/bench/$1" &&
        "./bench_$1" --benchmark_filter="$2" --benchmark_repetitions="$repeat" \
            --benchmark_enable_random_interleaving=true --benchmark_format=json \
            --benchmark_out="$results/$3.json" --benchmark_out_format=json >/dev/null)
}
run csv 'BM_Export$|BM_PlainWrite$|BM_PlainWriteSynced$' csv
run graph 'BM_RefreshYearly$|BM_PlainReadYear$|BM_RefreshAll$|BM_PlainReadAndSumAll$' graph
run paint '.' paint

echo "== memory (scripts/memory.sh)" >&2
memory_status=0
BUILD="$build" scripts/memory.sh >"$results/memory.txt" || memory_status=$?

python3 - "$results" "$memory_status" <<'EOF'
import json, sys, pathlib

folder = pathlib.Path(sys.argv[1])
memory_failed = sys.argv[2] != "0"
median = {}
for name in ("csv", "graph", "paint"):
    data = json.loads((folder / f"{name}.json").read_text())
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
            median[b["run_name"]] = b["real_time"] * scale  # milliseconds
memory = {}
for line in (folder / "memory.txt").read_text().splitlines():
    key, _, value = line.partition(" ")
    if value.strip().lstrip("-").isdigit():
        memory[key] = int(value)

def ms(value):
    return f"{value:.2f} ms" if value >= 0.1 else f"{value * 1000:.1f} µs"

rows, failed = [], False
def row(path, time, floor_text, ratio_text, ok, bound):
    global failed
    failed |= not ok
    rows.append(f"| {path} | {time} | {floor_text} | {ratio_text} | {bound} | {'yes' if ok else 'NO'} |")

def ratio_row(path, name, floor_name, floor_text, bound):
    t, f = median[name], median[floor_name]
    row(path, ms(t), f"{floor_text}: {ms(f)}", f"{t / f:.1f}×", t / f <= bound, f"{bound:g}×")

ratio_row("CSV export of 100 years (36,525 days, 2.0 MB), written beside the file, synced and renamed over it",
          "BM_Export", "BM_PlainWriteSynced",
          f"the same bytes written plainly, synced and renamed the same way (unsynced: {ms(median['BM_PlainWrite'])})", 3)
ratio_row("Graph refresh, Yearly (366 days)", "BM_RefreshYearly", "BM_PlainReadYear",
          "one plain read of the same records", 5)
ratio_row("Graph refresh, All (109,573 days)", "BM_RefreshAll", "BM_PlainReadAndSumAll",
          "one plain read and the same summing loop", 2)

paints = {k: v for k, v in median.items() if k.startswith("BM_PaintGraph/")}
slowest = max(paints, key=paints.get)
row(f"Painting the drawing control of a 100-year user, slowest of {len(paints)} modes and kinds ({slowest.split('/', 1)[1]})",
    ms(paints[slowest]), f"an empty control of the same size: {ms(median['BM_PaintEmpty'])}", "",
    paints[slowest] <= 16, "16 ms")
repaints = {k: v for k, v in median.items() if k.startswith("BM_RepaintWindow/")}
slowest = max(repaints, key=repaints.get)
row(f"Full repaint of the graph window, slowest of {len(repaints)} modes ({slowest.split('/', 1)[1]})",
    ms(repaints[slowest]), "", "", repaints[slowest] <= 16, "16 ms")

def mb(kb):
    return f"{kb / 1024:.1f} MB"
if {"startup_peak_kb", "graph_all_peak_kb", "cycles_rss_kb_after_10", "cycles_rss_kb_after_100"} <= memory.keys():
    row("Peak memory after start-up with 1,000 users", mb(memory["startup_peak_kb"]), "", "",
        memory["startup_peak_kb"] <= 80 * 1024, "80 MB")
    row("Peak memory after opening a 100-year user's graph window in All mode", mb(memory["graph_all_peak_kb"]),
        "", "", memory["graph_all_peak_kb"] <= 80 * 1024, "80 MB")
    growth = memory["cycles_rss_kb_after_100"] - memory["cycles_rss_kb_after_10"]
    row("Resident memory over 100 openings and closings of that window: after the 10th and the 100th",
        f"{mb(memory['cycles_rss_kb_after_10'])}, {mb(memory['cycles_rss_kb_after_100'])}", "",
        f"{growth:+d} kB", not memory_failed, "no growth")
    if "leaks" in memory:
        row("Leaks reported by LeakSanitizer over the same 100 cycles", str(memory["leaks"]), "", "",
            memory["leaks"] == 0, "0")
else:
    row("Memory (scripts/memory.sh)", "not measured", "", "", False, "")

print("| Path | Time / size | Floor in the same run | Ratio | Bound | Within |")
print("|---|---|---|---|---|---|")
print("\n".join(rows))
sys.exit(1 if failed else 0)
EOF
