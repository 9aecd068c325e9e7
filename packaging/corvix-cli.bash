# bash completion for corvix-cli: the commands, each command's options, the
# values of --filter, --fft, --interval, --top and --format, and file names
# for the history, --trace and --source.

# Offers the words of $1 that start with the word being completed.
_corvix_cli_offer()
{
    mapfile -t COMPREPLY < <(compgen -W "$1" -- "$cur")
}

_corvix_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    local commands="predict next-draw backtest sweep randomness tickets payouts add import init check update"
    local command="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --)  # the end of the options: only file names follow
                _filedir
                return
                ;;
            predict | next-draw | backtest | sweep | randomness | tickets | payouts | add | import | init | check | update)
                [[ -z $command ]] && command=${words[i]}
                ;;
        esac
    done

    case $prev in
        --filter)
            _corvix_cli_offer "lpf bpf none"
            return
            ;;
        --fft)
            _corvix_cli_offer "head tail center headtail"
            return
            ;;
        --interval)
            _corvix_cli_offer "10 12 15 18 20 24 30"
            return
            ;;
        --top)
            _corvix_cli_offer "1 2 3 4 5 6 7 8 9 10"
            return
            ;;
        --format)
            _corvix_cli_offer "text json"
            return
            ;;
        --bet)
            _corvix_cli_offer "straight box set"
            return
            ;;
        --payouts)
            # add takes four amounts; backtest and sweep take a mode.
            [[ $command == add ]] && return
            _corvix_cli_offer "auto real theoretical"
            return
            ;;
        --pick)
            _corvix_cli_offer "forecast payout"
            return
            ;;
        --spread)
            _corvix_cli_offer "1 2 3"
            return
            ;;
        --wait)
            _corvix_cli_offer "0 10 60"
            return
            ;;
        --trace | --source)
            _filedir
            return
            ;;
        --draw | --from | --jobs | --date)
            return  # a number
            ;;
    esac
    $split && return

    if [[ -z $command ]]; then
        _corvix_cli_offer "$commands --help --version"
        return
    fi

    local options
    case $command in
        predict) options="--interval --filter --draw --fft --trace --format" ;;
        next-draw) options="" ;;
        backtest) options="--filter --interval --fft --top --from --bet --payouts --pick --format" ;;
        sweep) options="--top --from --jobs --bet --payouts --format" ;;
        randomness) options="--format" ;;
        tickets) options="--interval --filter --draw --fft --spread --format" ;;
        payouts) options="--format" ;;
        add) options="--draw --date --replace --allow-gap --payouts --dry-run --format --wait" ;;
        import) options="--allow-gap --keep-mine --dry-run --format --wait" ;;
        init) options="--format --wait" ;;
        check) options="--format" ;;
        update) options="--source --keep-mine --dry-run --format --wait" ;;
    esac
    if [[ $cur == -* ]]; then
        _corvix_cli_offer "$options --help"
        return
    fi
    _filedir
} &&
    complete -F _corvix_cli corvix-cli
