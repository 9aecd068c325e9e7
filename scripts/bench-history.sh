#!/usr/bin/env bash
# Whole-process figures of the history commands (release build):
#  - corvix-cli add on a fresh, writable copy of the real history (or the
#    file given), the copy made outside the timing: wall time and CPU time
#    (user + sys), minimum and mean, with the two fsyncs and as --dry-run;
#  - an fsync probe: the file's and the directory's flush timed on their own;
#  - corvix-cli import of 100,000 new draws into a new history: wall time and
#    peak memory against the sizes of the history and the source;
#  - corvix-cli import --keep-mine of the published 1.1 MB JSON (every draw
#    with its payouts) into a copy of the real history: wall time and peak
#    memory against the sizes of the history and the source;
#  - corvix-cli update from the tests' web server on 127.0.0.1 serving the
#    published data set (beside the history, in results-api/): with nothing
#    new (version.json only) and a full update of every draw into a new history.
# Usage: scripts/bench-history.sh [HISTORY]
#   (default: $CORVALITH_REAL_HISTORY, else ../shared/data/real-history.csv;
#   the JSON from $CORVALITH_RESULTS_API, else ../shared/data/results-api)
set -euo pipefail
cd "$(dirname "$0")/.."
history=${1:-${CORVALITH_REAL_HISTORY:-../shared/data/real-history.csv}}
runs=${BENCH_HISTORY_RUNS:-100}
cmake --preset release >/dev/null
cmake --build --preset release --target corvix-cli >/dev/null
cli=$PWD/build-release/bin/corvix-cli
timer=scripts/time_history_runs.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ -f "$history" ]; then
    add=("$cli" add COPY 1234 --date 9999/12/31 --allow-gap)
    echo "corvix-cli add $(basename "$history") (with fsync, target < 10 ms):"
    python3 "$timer" runs "$runs" "$history" "$work" -- "${add[@]}"
    echo "corvix-cli add --dry-run $(basename "$history"):"
    python3 "$timer" runs "$runs" "$history" "$work" -- "${add[@]}" --dry-run
    python3 "$timer" fsync 50 "$(stat -c %s "$history")" "$work"
else
    echo "bench-history: no history at $history; the add figures are skipped" >&2
fi

python3 scripts/generate_history.py --draws 100000 --output "$work/source.csv"
"$cli" init "$work/new.csv" >/dev/null
start=$(date +%s%N)
/usr/bin/time -f "%M %U %S" -o "$work/peak" "$cli" import "$work/new.csv" "$work/source.csv" >/dev/null
elapsed=$(($(date +%s%N) - start))
cmp -s "$work/new.csv" "$work/source.csv" || { echo "bench-history: import gave other bytes" >&2; exit 1; }
read -r peak user sys <"$work/peak"
awk -v ns="$elapsed" -v peak="$peak" -v user="$user" -v sys="$sys" \
    -v bytes="$(stat -c %s "$work/source.csv")" -v load="$(cut -d' ' -f1 /proc/loadavg)" 'BEGIN {
    printf "corvix-cli import of 100,000 new draws: %.3f s wall, %.2f s user+sys (target < 1 s), peak %.1f MiB = %.2f x the %.1f MiB of history and source (target < 3) (load %s)\n",
        ns / 1e9, user + sys, peak / 1024, peak * 1024 / (bytes + 70), bytes / 1048576, load }'

results=${CORVALITH_RESULTS_API:-../shared/data/results-api}
json=$results/numbers4_all_full.json
if [ -f "$history" ] && [ -f "$json" ]; then
    cp "$history" "$work/paid.csv"
    chmod u+w "$work/paid.csv"
    start=$(date +%s%N)
    /usr/bin/time -f "%M %U %S" -o "$work/peak" "$cli" import "$work/paid.csv" "$json" --keep-mine >/dev/null
    elapsed=$(($(date +%s%N) - start))
    read -r peak user sys <"$work/peak"
    awk -v ns="$elapsed" -v peak="$peak" -v user="$user" -v sys="$sys" \
        -v bytes="$(($(stat -c %s "$history") + $(stat -c %s "$json")))" -v load="$(cut -d' ' -f1 /proc/loadavg)" 'BEGIN {
        printf "corvix-cli import --keep-mine of the 1.1 MB JSON with payouts: %.3f s wall (target < 0.3 s), %.2f s user+sys, peak %.1f MiB = %.2f x the %.1f MiB of history and source (target < 4) (load %s)\n",
            ns / 1e9, user + sys, peak / 1024, peak * 1024 / bytes, bytes / 1048576, load }'
else
    echo "bench-history: no history or no $json; the JSON import figure is skipped" >&2
fi

api=${CORVALITH_RESULTS_API:-$(dirname "$history")/results-api}
if [ -f "$api/version.json" ] && [ -f "$history" ]; then
    mkfifo "$work/server-in"
    python3 tests/support/local_http_server.py "$api" <"$work/server-in" >"$work/port" &
    server=$!
    exec 3>"$work/server-in"  # the server ends when this closes
    trap 'exec 3>&-; kill "$server" 2>/dev/null; wait "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
    for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
    base="http://127.0.0.1:$(cat "$work/port")/files"
    # The history's newest draw with its payouts, so that version.json has nothing new.
    python3 - "$history" "$work/paid.csv" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
body = data.rstrip(b"\r\n")
open(sys.argv[2], "wb").write(body + b",2128400,177300,1152800,88600" + data[len(body):])
PY
    echo "corvix-cli update with nothing new (version.json only, target < 50 ms):"
    python3 "$timer" runs "$runs" "$work/paid.csv" "$work" -- \
        "$cli" update COPY --source "$base/numbers4_all_full.json"
    "$cli" init "$work/empty.csv" >/dev/null
    source="$base/numbers4_all_full.json"
    echo "corvix-cli update of every draw into a new history from $(basename "$source") (target < 0.5 s):"
    python3 "$timer" runs 20 "$work/empty.csv" "$work" -- "$cli" update COPY --source "$source"
else
    echo "bench-history: no data set at $api; the update figures are skipped" >&2
fi
