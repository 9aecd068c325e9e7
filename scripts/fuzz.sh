#!/usr/bin/env bash
# Runs every libFuzzer target for SECONDS seconds each, after running every
# input that once found a fault (fuzz/regressions/<target>/) once.
# Usage: scripts/fuzz.sh SECONDS
# Builds into build-fuzz/ with clang (ASan + UBSan + libFuzzer). The working
# corpus of each target is build-fuzz/corpus/<target>, seeded from the
# committed fuzz/corpus/<target>, which is only read. Findings land in
# build-fuzz/findings/<target>/. Exits nonzero on any finding (crash, leak,
# timeout, out of memory) or when a step fails.
set -euo pipefail

usage() { echo "usage: $0 SECONDS (a whole number of seconds per target, at least 1)" >&2; exit 2; }
[ $# -eq 1 ] || usage
[[ "$1" =~ ^[0-9]+$ ]] && [ "$1" -ge 1 ] || usage
seconds=$1

cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build-fuzz

targets=(load_draw_history_fuzzer scan_highest_draw_number_fuzzer
         single_digit_pipeline_fuzzer predictor_fuzzer backtest_fuzzer import_source_fuzzer)
# Longest input per target: the readers get room for lines past the 64 KiB
# line limit and for more than one 64 KiB read; the numeric targets decode at
# most 4096 values of 8 bytes plus a few header bytes; the backtest target
# reads at most 300 draws of 4 bytes.
declare -A max_len=(
    [load_draw_history_fuzzer]=140000
    [scan_highest_draw_number_fuzzer]=140000
    [single_digit_pipeline_fuzzer]=40000
    [predictor_fuzzer]=40000
    [backtest_fuzzer]=1400
    [import_source_fuzzer]=140000
)
declare -A dict=(
    [load_draw_history_fuzzer]=$root/fuzz/history.dict
    [scan_highest_draw_number_fuzzer]=$root/fuzz/history.dict
    [import_source_fuzzer]=$root/fuzz/import.dict
)

scripts/deps.sh clang libclang-rt-14-dev

echo "== configure and build $build"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVALITH_FUZZ=ON -DCORVALITH_GUI=OFF -DCORVALITH_BENCH=OFF >/dev/null
cmake --build "$build" --target corvalith_fuzzers

# Leaks count as findings; a sanitizer report ends the run with its trace.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

common=(-timeout=10 -rss_limit_mb=2048)
failed=()
summary=()

for target in "${targets[@]}"; do
    binary=$build/bin/$target
    [ -x "$binary" ] || { echo "error: $binary was not built" >&2; exit 1; }
    logs=$build/logs
    findings=$build/findings/$target
    mkdir -p "$logs" "$findings"
    extra=()
    [ -n "${dict[$target]:-}" ] && extra+=(-dict="${dict[$target]}")

    regressions=()
    if [ -d "fuzz/regressions/$target" ]; then
        while IFS= read -r -d '' file; do regressions+=("$file"); done \
            < <(find "fuzz/regressions/$target" -type f ! -name '.*' -print0 | sort -z)
    fi
    if [ ${#regressions[@]} -gt 0 ]; then
        echo "== $target: ${#regressions[@]} regression input(s)"
        if ! "$binary" "${common[@]}" -artifact_prefix="$findings/" "${regressions[@]}" \
                >"$logs/$target.regressions.log" 2>&1; then
            echo "FINDING: $target fails on a regression input; see $logs/$target.regressions.log"
            tail -n 40 "$logs/$target.regressions.log"
            failed+=("$target (regressions)")
        fi
    fi

    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    echo "== $target: fuzzing for ${seconds}s"
    status=0
    "$binary" "${common[@]}" "${extra[@]}" -max_len="${max_len[$target]}" \
        -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/" \
        "$corpus" "fuzz/corpus/$target" >"$logs/$target.log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$target.log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$logs/$target.log" | tail -n 1)
    peak=$(sed -n 's/^stat::peak_rss_mb: *//p' "$logs/$target.log" | tail -n 1)
    line=$(printf '%-34s executions %10s   exec/s %7s   peak RSS %5s MB' \
        "$target" "${runs:-?}" "${rate:-?}" "${peak:-?}")
    if [ "$status" -ne 0 ]; then
        echo "FINDING: $target exited with $status; see $logs/$target.log and $findings/"
        grep -E 'ERROR: |SUMMARY: |runtime error: |invariant broken|Test unit written' \
            "$logs/$target.log" | head -n 20 || true
        failed+=("$target")
        line+="   FINDING"
    fi
    summary+=("$line")
done

echo "== summary (${seconds}s per target)"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi
echo "no findings"
