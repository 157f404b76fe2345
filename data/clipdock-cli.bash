# bash completion for clipdock-cli: its commands, each command's options and their values.

_clipdock_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    # The command is always the first word.
    if [[ $COMP_CWORD -eq 1 ]]; then
        COMPREPLY=($(compgen -W 'list download -h --help --version' -- "$cur"))
        return
    fi
    case $prev in
        --quality) COMPREPLY=($(compgen -W '1080p 720p 480p audio' -- "$cur")); return ;;
        --since) COMPREPLY=($(compgen -W 'today 7d 30d 90d year' -- "$cur")); return ;;
        --cookies) compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- "$cur"); return ;;
        --dir) compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -d -- "$cur"); return ;;
        --until | --ids | --jobs) return ;;
    esac
    [[ $cur == -* ]] || return
    local options='--since --until --cookies --demo -h --help'
    case ${COMP_WORDS[1]} in
        list) options+=' --json' ;;
        download) options+=' --quality --ids --jobs --dir --overwrite' ;;
        *) return ;;
    esac
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
}
complete -F _clipdock_cli clipdock-cli
