#!/usr/bin/env bash
# valgrind memcheck of corvix-cli predict on the sample history, once per
# filter kind: any memory error or any leaked or still-reachable block fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh valgrind
scripts/build.sh >/dev/null
for filter in lpf bpf none; do
    log=$(mktemp)
    if ! valgrind --error-exitcode=1 --leak-check=full --show-leak-kinds=all \
            --errors-for-leak-kinds=all --log-file="$log" \
            build/bin/corvix-cli predict data/sample-history.csv --filter "$filter" >/dev/null; then
        cat "$log"
        rm -f "$log"
        echo "memcheck: corvix-cli predict --filter $filter has memory errors or leaks" >&2
        exit 1
    fi
    grep -E 'ERROR SUMMARY|in use at exit' "$log" | sed "s/^==[0-9]*==/memcheck $filter:/"
    rm -f "$log"
done
