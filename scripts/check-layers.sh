#!/usr/bin/env bash
# The layering check: fails when an #include or a target_link_libraries of a
# layer reaches a layer it may not depend on, or when Qt is used outside the
# window layers. Usage: scripts/check-layers.sh [ROOT]  (default: this tree)
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$root"

# Which layers each layer may use (its own files are always allowed).
declare -A allowed=(
    [text]=""
    [dsp]=""
    [history]="dsp text"
    [predict]="dsp"
    [commands]="evaluate history predict dsp text"
    [evaluate]="history predict dsp text"
    [report]="commands evaluate history predict dsp text"
    [cli]="report commands evaluate history predict dsp text"
    [ui]="report commands evaluate history predict dsp text"
    [app]="ui report commands evaluate history predict dsp text"
)
# The CMake target each layer builds.
declare -A target_layer=(
    [text]=text [dsp]=dsp [history]=history [predict]=predict [commands]=commands
    [evaluate]=evaluate [report]=report [ui]=ui [app_shell]=app [cli_core]=cli
)
qt_layers=" ui app "

failures=0
fail() {
    echo "check-layers: $*" >&2
    failures=$((failures + 1))
}
may_use() {  # layer, used layer
    [ "$1" = "$2" ] && return 0
    case " ${allowed[$1]} " in *" $2 "*) return 0 ;; esac
    return 1
}

for layer in "${!allowed[@]}"; do
    [ -d "$layer" ] || continue
    # Includes of project headers and of Qt.
    while IFS=: read -r file line text; do
        if [[ $text =~ \#include[[:space:]]*\"([a-z_]+)/ ]]; then
            used=${BASH_REMATCH[1]}
            if [ -n "${allowed[$used]+set}" ] && ! may_use "$layer" "$used"; then
                fail "$file:$line: $layer/ may not include $used/"
            fi
        elif [[ $text =~ \#include[[:space:]]*\<Q ]] && [[ $qt_layers != *" $layer "* ]]; then
            fail "$file:$line: $layer/ may not include Qt"
        fi
    done < <(grep -rnE --include='*.h' --include='*.cc' '^[[:space:]]*#[[:space:]]*include' "$layer" || true)

    # Libraries linked by the layer's CMake files.
    while IFS= read -r file; do
        links=$(tr '\n' ' ' < "$file" | grep -oE 'target_link_libraries\([^)]*\)' || true)
        for word in $links; do
            word=${word#target_link_libraries(}
            word=${word%)}
            if [[ $word == Qt6::* ]] && [[ $qt_layers != *" $layer "* ]]; then
                fail "$file: $layer/ may not link $word"
            elif [ -n "${target_layer[$word]+set}" ] && ! may_use "$layer" "${target_layer[$word]}"; then
                fail "$file: $layer/ may not link $word (${target_layer[$word]}/)"
            fi
        done
    done < <(find "$layer" -name CMakeLists.txt -o -name '*.cmake')
done

# Tests, benchmarks and fuzzers: Qt only in the window's tests.
while IFS=: read -r file line _; do
    case $file in tests/ui/* | tests/app/*) ;; *) fail "$file:$line: Qt outside the window's tests" ;; esac
done < <(grep -rnE --include='*.h' --include='*.cc' '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' \
    tests bench fuzz 2>/dev/null || true)

if [ "$failures" -ne 0 ]; then
    echo "check-layers: $failures violation(s)" >&2
    exit 1
fi
echo "check-layers: every dependency follows the layers"
