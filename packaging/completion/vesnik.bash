# bash completion for vesnik(1), loaded by bash-completion on first use.

_vesnik()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        --book | --output)
            _filedir
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W 'tsv json vcard mutt aerc address' -- "$cur"))
            return
            ;;
        --sort)
            COMPREPLY=($(compgen -W 'rank file' -- "$cur"))
            return
            ;;
        --limit | --name | --charset | --columns | -h | --help | --version)
            return
            ;;
    esac
    $split && return

    # The command so far, and the book it reads, wherever the options stand.
    local i command="" separated=false book=()
    for ((i = 1; i < cword; i++)); do
        if $separated; then
            [[ $command ]] || command=${words[i]}
            continue
        fi
        case ${words[i]} in
            --) separated=true ;;
            --book) book+=(--book "${words[i + 1]/#\~/$HOME}") && ((i++)) ;;
            --book=*) book+=(--book "${words[i]#--book=}") ;;
            --limit | --format | --sort | --name | --output | --charset | --columns) ((i++)) ;;
            -*) ;;
            *) [[ $command ]] || command=${words[i]} ;;
        esac
    done

    if [[ $cur == -* ]] && ! $separated && [[ $command == import ]]; then
        COMPREPLY=($(compgen -W '--output --replace --charset --columns --help' -- "$cur"))
        return
    fi
    if [[ $cur == -* ]] && ! $separated; then
        COMPREPLY=($(compgen -W '--book --limit --format --json --sort --no-fold --name
            --help --version' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi

    # The book's own identifiers and addresses, as the command would read them.
    case $command in
        "")
            COMPREPLY=($(compgen -W 'query get email ids id-of where import' -- "$cur"))
            ;;
        import)
            _filedir
            ;;
        get)
            COMPREPLY=($(compgen -W '$(vesnik "${book[@]}" ids 2>/dev/null)' -- "$cur"))
            ;;
        email | id-of)
            [[ $cur ]] || return
            COMPREPLY=($(compgen -W '$(vesnik "${book[@]}" query --format aerc -- "$cur" \
                2>/dev/null | cut -f1)' -- "$cur"))
            ;;
    esac
} &&
    complete -F _vesnik vesnik
