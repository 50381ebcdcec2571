# Bash completion for harvex: commands, options, the values of the options
# that take a word, and recorder files where a command reads them (tests
# compare the lists with `harvex COMMAND --help`).
_harvex() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} cmd="" words="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in info | export | events | plot) cmd=${COMP_WORDS[i]} && break ;; esac
    done
    COMPREPLY=()
    if [[ -z $cmd ]]; then
        mapfile -t COMPREPLY < <(compgen -W "info export events plot -h --help --version" -- "$cur")
        return
    fi
    local text="--recursive --delimiter --decimal-comma --trim --encoding --bom --crlf --lf --excel"
    case $cmd in
        info) words="--blocks --gaps --json" ;;
        export) words="-o --output --start --end --time --date --split --split-rows --force $text" ;;
        events) words="-o --output --clock --date --time --force $text" ;;
        plot) words="-o --output --start --end --width --height --force" ;;
    esac
    local options="-h --help --quiet $words"
    case $prev in
        --time) [[ $cmd == events ]] && words=iso || words="sample elapsed 12h 24h iso seconds" ;;
        --date) [[ $cmd == events ]] && words="mdy dmy" || words="none mdy dmy" ;;
        --split) words="none minute hour day week month" ;;
        --clock) words="12 24" ;;
        --encoding) words="cp1252 utf8" ;;
        --start | --end | --split-rows | --delimiter | --width | --height) return ;;
        -o | --output)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        *) words="" ;;
    esac
    if [[ -n $words ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
    elif [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    else
        # Directories, and the recorder files of the command's kind in any case.
        local keep='*.[Dd][Cc]*'
        [[ $cmd == events ]] && keep='*.[Aa][Ll][Mm]'
        [[ $cmd == info ]] && keep='@(*.[Dd][Cc]*|*.[Aa][Ll][Mm])'
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X "!$keep" -- "$cur")
    fi
}
shopt -s extglob
complete -F _harvex harvex
