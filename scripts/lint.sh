#!/usr/bin/env bash
# The static checks: the layering, clang-format over the whole tree and
# clang-tidy (.clang-tidy, every finding an error) over the product code.
# clang-tidy reads build/compile_commands.json: run scripts/build.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh clang-format clang-tidy

scripts/check-layers.sh

git ls-files -z '*.cc' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "lint: every source file is formatted"

[ -f build/compile_commands.json ] || { echo "lint: build/compile_commands.json is missing: run scripts/build.sh" >&2; exit 1; }
# The product's sources; the CP932 table generator is a build tool and not checked.
mapfile -t sources < <(git ls-files 'text/*.cc' 'dsp/*.cc' 'history/*.cc' 'predict/*.cc' \
    'commands/*.cc' 'evaluate/*.cc' 'report/*.cc' 'ui/*.cc' 'app/*.cc' 'cli/*.cc' | grep -v '_gen\.cc$')
# The project's headers are checked through the sources that include them.
headers="^$(pwd)/(text|dsp|history|predict|commands|evaluate|report|ui|app|cli)/"
log=$(mktemp)
status=0
# clang-tidy reads the GCC build's flags; one of them (-Wno-error=restrict) is GCC's own.
printf '%s\0' "${sources[@]}" |
    xargs -0 -P2 -n8 clang-tidy -p build --quiet --extra-arg=-Wno-unknown-warning-option --header-filter="$headers" >"$log" 2>&1 || status=$?
grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "$log" || true
rm -f "$log"
if [ "$status" -ne 0 ]; then
    echo "lint: clang-tidy found problems" >&2
    exit 1
fi
echo "lint: clang-tidy is clean over ${#sources[@]} sources"
