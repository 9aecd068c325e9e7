#!/usr/bin/env bash
# Runs the test command (scripts/test.sh) as a new user would: with a fresh,
# empty home, no XDG directories set and TMPDIR pointing at an empty
# directory. As root it runs in a mount namespace of its own whose /tmp is a
# fresh tmpfs, so an entry that existed before cannot hide one the tests
# make; elsewhere /tmp is compared before and after. Fails when anything is
# left in the home, in TMPDIR or in /tmp. Arguments go on to ctest (for
# example -R PATTERN for part of the suite).
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$self")/.."

if [ -z "${CORVALITH_PRIVATE_TMP:-}" ] && [ "$(id -u)" -eq 0 ] &&
    unshare --mount --propagation private true 2>/dev/null; then
    exec env CORVALITH_PRIVATE_TMP=1 unshare --mount --propagation private "$self" "$@"
fi
if [ "${CORVALITH_PRIVATE_TMP:-}" = 1 ]; then
    mount -t tmpfs -o mode=1777,size=1g corvalith-tmp /tmp
    echo "Running with a private, empty /tmp."
fi

fresh=$(pwd)/build-clean-home
rm -rf "$fresh"
mkdir -p "$fresh/home" "$fresh/tmp"
list_tmp() { find /tmp -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort; }
list_tmp >"$fresh/tmp-before"

# A failing test still gets its leftovers looked at.
status=0
env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME \
    -u XDG_RUNTIME_DIR HOME="$fresh/home" TMPDIR="$fresh/tmp" scripts/test.sh "$@" || status=$?

list_tmp >"$fresh/tmp-after"
left=0
report() {  # heading, prefix, entries
    if [ -n "$3" ]; then
        echo "$1" >&2
        echo "$3" | sed "s|^|  $2|" >&2
        left=1
    fi
}
report "The test command wrote into the home directory:" "~/" \
    "$(find "$fresh/home" -mindepth 1 -printf '%P\n')"
report "The test command left entries in TMPDIR:" "\$TMPDIR/" \
    "$(find "$fresh/tmp" -mindepth 1 -maxdepth 1 -printf '%P\n')"
report "The test command left new entries in /tmp:" "/tmp/" \
    "$(LC_ALL=C comm -13 "$fresh/tmp-before" "$fresh/tmp-after")"
if [ $left -eq 0 ]; then
    echo "The home directory, TMPDIR and /tmp are as they were."
elif [ $status -eq 0 ]; then
    status=1
fi
exit $status
