#!/usr/bin/env bash
# Builds every benchmark in bench/, runs each RUNS times and prints one table: each line of work
# against its yardstick measured in the same run, min/median/max of the ratio over all the
# measurements (each benchmark repeats its own, 5 by default), the median times, the peak memory
# and whether the goal is met. Each benchmark's own output is kept in BUILD/bench-logs/.
#
#   tools/bench.sh [RUNS] [NAME-PART]     (default: every benchmark, once)
#
# The benchmarks read the designed files in tests/data and, when present, the shared fixtures
# (-DKORVANE_FIXTURES_DIR, default ../shared/fixtures); one that cannot run says so in the table.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-1}"
only="${2:-}"
build="${KORVANE_BUILD_DIR:-build}"

[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target benchmarks
fixtures="$(sed -n 's/^KORVANE_FIXTURES_DIR:PATH=//p' "$build/CMakeCache.txt")"

export QT_QPA_PLATFORM=offscreen
export KORVANE_TEST_DATA="$PWD/tests/data"
export KORVANE_BIN_DIR="$PWD/$build/bin"
if [ -d "$fixtures" ]; then export KORVANE_FIXTURES="$fixtures"; else unset KORVANE_FIXTURES; fi

logs="$build/bench-logs"
mkdir -p "$logs"
results="$logs/results.tsv"
: >"$results"
for program in "$build"/bin/*_bench; do
    name="$(basename "$program")"
    [[ -z "$only" || "$name" == *"$only"* ]] || continue
    for run in $(seq 1 "$runs"); do
        echo "== $name, run $run of $runs" >&2
        log="$logs/$name.$run.log"
        if "$program" >"$log" 2>&1; then
            grep '^RESULT' "$log" | sed "s/^/$name\t/" >>"$results" ||
                printf '%s\tNOLINES\t%s\n' "$name" "$log" >>"$results"
        else
            printf '%s\tFAILED\t%s\n' "$name" "$log" >>"$results"
        fi
    done
done

/usr/bin/python3 - "$results" <<'PY'
import statistics, sys
lines, failed, order = {}, {}, []
for row in open(sys.argv[1], encoding="utf-8"):
    f = row.rstrip("\n").split("\t")
    if f[1] in ("FAILED", "NOLINES"):
        failed.setdefault(f[0], ("failed" if f[1] == "FAILED" else "no table lines") + ", see " + f[2])
        continue
    _, _, work, s, peak, yard, ys, ypeak, goal = f
    key = (f[0], work, yard)
    if key not in lines:
        order.append(key)
        lines[key] = []
    lines[key].append((float(s), int(peak), float(ys), int(ypeak), float(goal)))

def mb(kib):
    return "-" if kib <= 0 else "%.0f MB" % (kib / 1024)

print("| benchmark | work | ours (median) | yardstick | its time (median) | ratio min / median / max | goal | met |")
print("| --- | --- | --- | --- | --- | --- | --- | --- |")
for key in order:
    runs = lines[key]
    ratios = sorted(s / ys for s, _, ys, _, _ in runs if ys > 0)
    med = lambda values: statistics.median(values) if values else 0
    ours = "%.3f s, %s" % (med([r[0] for r in runs]), mb(max(r[1] for r in runs)))
    theirs = "%.3f s, %s" % (med([r[2] for r in runs]), mb(max(r[3] for r in runs)))
    goal = runs[0][4]
    ratio = "%.2f / %.2f / %.2f (%d measurements)" % (ratios[0], med(ratios), ratios[-1], len(ratios)) if ratios else "-"
    met = "-" if goal <= 0 or not ratios else ("yes" if med(ratios) <= goal else "NO")
    print("| %s | %s | %s | %s | %s | %s | %s | %s |" % (key[0], key[1], ours, key[2], theirs, ratio,
          "≤ %.2f×" % goal if goal > 0 else "-", met))
for name, note in failed.items():
    print("| %s | %s | | | | | | |" % (name, note))
PY
