# bash completion for xvkit: commands, each command's options (read from the
# tool's own --help, so they follow the tool that is installed), zone names of
# the time-zone database, locale names of `locale -a` and of XVKIT_LOCPATH.
# Installed as share/bash-completion/completions/xvkit.

# Zone names: the files under $TZDIR whose names start with a capital
# ("Europe/Paris", "UTC"); the lower-case ones are tables, "posix/" and
# "right/" copies.
_xvkit_zones() {
    local dir=${TZDIR:-/usr/share/zoneinfo}
    [[ -d $dir ]] || return 0
    (cd "$dir" && find . \( -type f -o -type l \) -name '[A-Z]*' -path './[A-Z]*' 2>/dev/null) |
        sed 's|^\./||'
}

# Locale names the tool can snapshot: the C runtime's and those compiled
# under the folders of XVKIT_LOCPATH.
_xvkit_locales() {
    locale -a 2>/dev/null
    local dir
    local IFS=:
    for dir in ${XVKIT_LOCPATH-}; do
        [[ -d $dir ]] && (cd "$dir" && printf '%s\n' *)
    done
}

# The options that "xvkit COMMAND --help" names ("-n", "--line-number"; a
# dash and one letter, or two dashes and a name).
_xvkit_options() {
    "$1" "$2" --help 2>/dev/null |
        tr -s ' \t([,|' '\n' |
        sed -n 's/^\(-[[:alpha:]]\)\([^[:alnum:]-].*\)\{0,1\}$/\1/p
                s/^\(--[[:alpha:]][[:alnum:]-]*\).*/\1/p' | sort -u
}

# The commands that "xvkit --help" lists.
_xvkit_commands() {
    "$1" --help 2>/dev/null | sed -n '/^Commands/,/^$/s/^  \([a-z]*\) .*/\1/p'
}

# Puts the words of the lines of $1 that start with $2 into COMPREPLY.
_xvkit_reply() {
    local IFS=$'\n'
    COMPREPLY=($(compgen -W "$1" -- "$2"))
}

_xvkit() {
    local tool=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]} prev=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    # "--zone=Eu" reaches us as "--zone" "=" "Eu" (COMP_WORDBREAKS has '=').
    if [[ $cur == "=" ]]; then
        cur=""
    elif [[ $prev == "=" ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    fi
    COMPREPLY=()

    if ((COMP_CWORD == 1)); then
        _xvkit_reply "$(_xvkit_commands "$tool")"$'\n'--help$'\n'--version "$cur"
        return
    fi
    local command=${COMP_WORDS[1]}
    case $command:$prev in
    date:-z | date:--zone | time:-z | time:--zone | time:--to)
        _xvkit_reply "$(_xvkit_zones)" "$cur"
        return
        ;;
    date:-l | date:--locale | time:-l | time:--locale | num:-l | num:--locale | money:-l | money:--locale)
        _xvkit_reply "$(_xvkit_locales)" "$cur"
        return
        ;;
    money:-s | money:--symbol)
        _xvkit_reply $'none\nlocal\nintl' "$cur"
        return
        ;;
    grep:--color | grep:--colour)
        _xvkit_reply $'never\nalways\nauto' "$cur"
        return
        ;;
    grep:--binary-files)
        _xvkit_reply $'binary\ntext\nwithout-match' "$cur"
        return
        ;;
    grep:-f | grep:--file)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    *:--year | *:--dst | *:--precision | grep:-[emABC] | grep:--regexp | grep:--max-count | grep:--*context | grep:--label | grep:--include | grep:--exclude*)
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        _xvkit_reply "$(_xvkit_options "$tool" "$command")" "$cur"
        return
    fi
    case $command in
    zone) _xvkit_reply "$(_xvkit_zones)" "$cur" ;;
    locale) _xvkit_reply "$(_xvkit_locales)" "$cur" ;;
    grep)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        ;;
    esac
}

complete -F _xvkit xvkit
