#!/bin/bash
# Drives the bash completion (doc/xvkit.bash) as bash does on a few
# prefixes: the completion function fills COMPREPLY for the words typed so
# far. Usage: completion_test.sh SCRIPT TOOL LOCPATH
set -u
script=$1 tool=$2
export XVKIT_LOCPATH=$3
# shellcheck source=/dev/null
. "$script"
failures=0

# expect "WORDS..." WANTED...: completing the last word of WORDS (an empty
# last word when WORDS ends in a blank) gives at least WANTED.
expect() {
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$tool
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _xvkit
    shift
    local want got
    for want in "$@"; do
        got=no
        for reply in "${COMPREPLY[@]}"; do
            [[ $reply == "$want" ]] && got=yes
        done
        if [[ $got == no ]]; then
            echo "FAIL: '${COMP_WORDS[*]}' gave (${COMPREPLY[*]:0:20}), not '$want'"
            failures=$((failures + 1))
        fi
    done
}

# expect_none "WORDS...": completing gives nothing, or only words
# starting with the last one typed.
expect_only_prefixed() {
    read -ra COMP_WORDS <<<"$1"
    COMP_WORDS[0]=$tool
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _xvkit
    local reply
    for reply in "${COMPREPLY[@]}"; do
        if [[ $reply != "${COMP_WORDS[COMP_CWORD]}"* ]]; then
            echo "FAIL: '$1' gave '$reply'"
            failures=$((failures + 1))
        fi
    done
    if ((${#COMPREPLY[@]} == 0)); then
        echo "FAIL: '$1' gave nothing"
        failures=$((failures + 1))
    fi
}

expect "xvkit t" time tour
expect "xvkit " date time zone num money locale grep tour --help --version
expect "xvkit time --" --zone --to --iso --format --verbose --dst --locale --help
expect "xvkit grep -" -n -c -o -r -e -E -Z -b
expect "xvkit grep --ex" --exclude --exclude-dir --extended-regexp
expect "xvkit grep --binary-files w" without-match
expect "xvkit time -z Europe/Be" Europe/Berlin Europe/Belgrade
expect "xvkit time --to Asia/Tok" Asia/Tokyo
expect "xvkit time --zone = America/New_" America/New_York
expect "xvkit zone Pacific/Ap" Pacific/Apia
expect "xvkit num -l de_" de_DE.UTF-8
expect "xvkit locale PO" POSIX
expect "xvkit money --symbol i" intl
expect "xvkit grep --color a" always auto
expect_only_prefixed "xvkit date --"
expect_only_prefixed "xvkit zone Europe/"
# A zone name is never a table or a copy under posix/ or right/.
read -ra zones <<<"$(_xvkit_zones | grep -cE '^(posix|right)/|\.tab$|^[a-z]')"
if [[ ${zones[0]} != 0 ]]; then
    echo "FAIL: the zone names hold ${zones[0]} files that are not zones"
    failures=$((failures + 1))
fi

echo "$failures failed"
exit $((failures != 0))
