# bash completion for zorvanctl: the commands and global options, read from its own --help so
# that they are always the program's.
_zorvanctl()
{
    local cur prev words
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    case $prev in
        --app-dir|--data-dir)
            COMPREPLY=($(compgen -d -- "$cur"))
            return
            ;;
        --model)
            return
            ;;
    esac
    local help
    help=$("${COMP_WORDS[0]}" --help 2>/dev/null) || return
    if [[ $cur == -* ]]; then
        words=$(sed -n 's/^  \(-[-a-z0-9]*\).*/\1/p' <<<"$help")
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
        [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == --emulate ]] && compopt -o nospace 2>/dev/null && COMPREPLY=(--emulate)
        return
    fi
    local i command=
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --app-dir|--data-dir|--model) ((i++)) ;;
            -*) ;;
            *) command=${COMP_WORDS[i]}; break ;;
        esac
    done
    if [[ -z $command ]]; then
        words=$(sed -n '/^Commands:/,/^$/s/^  \([a-z][-a-z0-9]*\).*/\1/p' <<<"$help")
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -F _zorvanctl zorvanctl
