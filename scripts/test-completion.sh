#!/usr/bin/env bash
# Tests corvix-cli's bash completion against the program's own usage: the
# completion must offer every command and every --filter, --fft and --interval
# value the usage names, each command's options, and file names for the history.
# Usage: scripts/test-completion.sh COMPLETION-SCRIPT CORVIX-CLI
set -euo pipefail
completion=$1
cli=$2
usage=$("$cli" --help)

# The commands and mode values as the usage lists them.
commands=$(sed -n 's/^  corvix-cli \([a-z][a-z-]*\) .*/\1/p' <<<"$usage" | sort -u | tr '\n' ' ')
filters=$(grep -o -m1 '\[--filter [a-z|]*\]' <<<"$usage" | sed 's/\[--filter \(.*\)\]/\1/' | tr '|' ' ')
placements=$(grep -o -m1 '\[--fft [a-z|]*\]' <<<"$usage" | sed 's/\[--fft \(.*\)\]/\1/' | tr '|' ' ')
intervals=$(grep -m1 -- '--interval  ' <<<"$usage" | sed 's/(default.*//' | grep -oE '[0-9]+' | tr '\n' ' ')
predict_options=$(sed -n '/^  corvix-cli predict /,/^  corvix-cli next-draw/p' <<<"$usage" |
    grep -o '\[--[a-z]*' | tr -d '[' | sort | tr '\n' ' ')
[ -n "$commands" ] && [ -n "$filters" ] && [ -n "$placements" ] && [ -n "$intervals" ] &&
    [ -n "$predict_options" ] ||
    { echo "test-completion: cannot read the usage of $cli" >&2; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
touch "$dir/history.csv" "$dir/other.txt"

# Prints the completions of a command line whose last word is being typed,
# sorted, one line.
export completion dir
offers() {
    bash --norc --noprofile -c '
        source /usr/share/bash-completion/bash_completion
        source "$completion"
        cd "$dir"
        COMP_LINE="$*"
        read -ra COMP_WORDS <<<"$COMP_LINE"
        [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_POINT=${#COMP_LINE}
        _corvix_cli corvix-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "
    ' offers "$@"
}

failures=0
expect() {  # command line, expected offers (sorted, space-separated)
    local got want
    got=$(offers "$1")
    want=$(tr ' ' '\n' <<<"$2" | sed '/^$/d' | sort | tr '\n' ' ')
    if [ "$got" != "$want" ]; then
        echo "test-completion: '$1' offers '$got', expected '$want'" >&2
        failures=$((failures + 1))
    fi
}

expect "corvix-cli " "$commands --help --version"
expect "corvix-cli predict history.csv --filter " "$filters"
expect "corvix-cli backtest history.csv --fft " "$placements"
expect "corvix-cli predict history.csv --fft=c" "center"
expect "corvix-cli predict history.csv --" "$predict_options --help"
expect "corvix-cli randomness h" "history.csv"
expect "corvix-cli backtest history.csv --interval " "$intervals"
expect "corvix-cli predict history.csv --interval=1" "10 12 15 18"
expect "corvix-cli sweep history.csv --format " "json text"
expect "corvix-cli sweep history.csv --t" "--top"

if [ "$failures" -ne 0 ]; then
    echo "test-completion: $failures failure(s)" >&2
    exit 1
fi
echo "test-completion: commands, options, values and file names are completed"
