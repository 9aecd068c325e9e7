#!/usr/bin/env bash
# Runs the test command (scripts/test.sh) as a new user would: with a fresh,
# empty home and no XDG directories set. Fails when anything appears in that
# home, or a new entry in /tmp, during the run.
set -euo pipefail
cd "$(dirname "$0")/.."

fresh=$(pwd)/build-clean-home
rm -rf "$fresh"
mkdir -p "$fresh/home"
list_tmp() { find /tmp -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort; }
list_tmp >"$fresh/tmp-before"

env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME \
    -u XDG_RUNTIME_DIR HOME="$fresh/home" scripts/test.sh

list_tmp >"$fresh/tmp-after"
status=0
left=$(find "$fresh/home" -mindepth 1 -printf '%P\n')
if [ -n "$left" ]; then
    echo "The test command wrote into the home directory:" >&2
    echo "$left" | sed 's/^/  ~\//' >&2
    status=1
fi
added=$(LC_ALL=C comm -13 "$fresh/tmp-before" "$fresh/tmp-after")
if [ -n "$added" ]; then
    echo "The test command left new entries in /tmp:" >&2
    echo "$added" | sed 's|^|  /tmp/|' >&2
    status=1
fi
[ $status -eq 0 ] && echo "The home directory and /tmp are as they were."
exit $status
