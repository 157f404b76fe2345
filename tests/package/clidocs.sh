#!/usr/bin/env bash
# Every command, option and exit status that clipdock-cli's help texts list is in its man page,
# and its bash completion offers every command, and each command's options after it.
# Usage: clidocs.sh CLIPDOCK_CLI MAN_PAGE COMPLETION
set -u
cli=$1 man=$2
. "$3"
page=$(sed 's/\\-/-/g' "$man")
failures=0
fail() { echo "$*" >&2; failures=$((failures + 1)); }
offered() { # offered WORD COMPLETION_WORDS...: does completing the last word offer WORD?
    local word=$1
    shift
    COMP_WORDS=("$@") COMP_CWORD=$(($# - 1))
    _clipdock_cli
    [[ " ${COMPREPLY[*]} " == *" $word "* ]]
}

help=$("$cli" --help) || fail "clipdock-cli --help failed"
commands=$(grep -oE '^  [a-z]+ {2,}' <<<"$help" | tr -d ' ')
[[ -n $commands ]] || fail "no command found in clipdock-cli --help"
for command in $commands; do
    grep -qx "\.B $command" <<<"$page" || fail "the man page has no entry for $command"
    offered "$command" clipdock-cli '' || fail "the completion does not offer $command"
done
for status in $(grep -oE '^  [0-9+N]+ {2,}' <<<"$help" | tr -d ' '); do
    grep -qx "\.B $status" <<<"$page" || fail "the man page does not explain exit status $status"
done

for command in '' $commands; do
    options=$("$cli" $command --help | grep -oE '^  -[^ ]+(, -[^ ]+)?' | grep -oE -- '-[-a-z]+')
    [[ -n $options ]] || fail "no option found in clipdock-cli $command --help"
    for option in $options; do
        grep -qwe "$option" <<<"$page" || fail "the man page does not name $option"
        offered "$option" clipdock-cli $command - || fail "clipdock-cli $command $option is not completed"
    done
done
exit $((failures > 0))
