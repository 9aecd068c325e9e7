# bash completion for corvix-cli: the commands, each command's options, the
# values of --filter, --fft, --interval, --top and --format, and file names
# for the history and --trace.

_corvix_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    local commands="predict next-draw backtest sweep randomness"
    local command="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --)  # the end of the options: only file names follow
                _filedir
                return
                ;;
            predict | next-draw | backtest | sweep | randomness)
                [[ -z $command ]] && command=${words[i]}
                ;;
        esac
    done

    case $prev in
        --filter)
            COMPREPLY=($(compgen -W "lpf bpf none" -- "$cur"))
            return
            ;;
        --fft)
            COMPREPLY=($(compgen -W "head tail center headtail" -- "$cur"))
            return
            ;;
        --interval)
            COMPREPLY=($(compgen -W "10 12 15 18 20 24 30" -- "$cur"))
            return
            ;;
        --top)
            COMPREPLY=($(compgen -W "1 2 3 4 5 6 7 8 9 10" -- "$cur"))
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W "text json" -- "$cur"))
            return
            ;;
        --trace)
            _filedir
            return
            ;;
        --draw | --from | --jobs)
            return  # a number
            ;;
    esac
    $split && return

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    local options
    case $command in
        predict) options="--interval --filter --draw --fft --trace --format" ;;
        next-draw) options="" ;;
        backtest) options="--filter --interval --fft --top --from --format" ;;
        sweep) options="--top --from --jobs --format" ;;
        randomness) options="--format" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi
    _filedir
} &&
    complete -F _corvix_cli corvix-cli
