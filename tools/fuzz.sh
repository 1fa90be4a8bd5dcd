#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on a copy of its
# committed corpus. Any crash fails the run; the crashing input is kept in build-fuzz/crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${KORVANE_FUZZ_SECONDS:-60}"
# A fixed seed makes a run repeatable; set KORVANE_FUZZ_SEED to explore elsewhere.
seed="${KORVANE_FUZZ_SEED:-20261207}"
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DKORVANE_FUZZ=ON -DKORVANE_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(cd fuzz/corpus && ls)
# shellcheck disable=SC2086
cmake --build "$build" -j"$(nproc)" --target $targets

mkdir -p "$build/crashes"
status=0
for t in $targets; do
    work="$build/corpus/$t"
    mkdir -p "$work"
    cp -r "fuzz/corpus/$t/." "$work/"
    echo "== $t ($seconds s)"
    if ! QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$build/bin/$t" "$work" \
        -max_total_time="$seconds" -seed="$seed" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix="$build/crashes/$t-" -print_final_stats=1 2>"$build/$t.log"; then
        tail -40 "$build/$t.log"
        status=1
    else
        grep -E "stat::number_of_executed_units|Done" "$build/$t.log" | tail -2 || true
    fi
done
exit $status
