#!/usr/bin/env bash
# The bash completion (resources/completion/surfklocka): what it offers after each word.
#
# Usage: test_completion.sh <path of the completion file>
set -uo pipefail

# shellcheck source=/dev/null
source "$1" || exit 1
[ "$(complete -p surfklocka 2>/dev/null)" = "complete -F _surfklocka surfklocka" ] ||
    { echo "FEL: kompletteringen är inte kopplad till surfklocka" >&2 && exit 1; }

failures=0
# expect "<the words, the last one being completed>" "<what should be offered, in C order>"
expect() {
    read -r -a COMP_WORDS <<<"$1"
    if [[ $1 == *" " ]]; then COMP_WORDS+=(""); fi
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _surfklocka
    local offered
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd ' ')
    if [ "$offered" != "$2" ]; then
        echo "FEL: \"$1\" gav \"$offered\", inte \"$2\"" >&2
        failures=$((failures + 1))
    fi
}

expect "surfklocka " "--help --version abonnemang avisering boka exportera summa visa"
expect "surfklocka b" "boka"
expect "surfklocka --" "--help --version"
expect "surfklocka boka -" "--anslutning --datum"
expect "surfklocka boka --datum 20" ""
expect "surfklocka boka --datum 2001-03-03 -" ""
expect "surfklocka boka --anslutning 54 1" ""
expect "surfklocka boka 90" "90h 90m 90s"
expect "surfklocka boka --datum 2001-03-03 1h30" "1h30m 1h30s"
expect "surfklocka boka 1h30m5" "1h30m5s"
expect "surfklocka boka 1:30" ""
expect "surfklocka boka 1h30m" ""
expect "surfklocka exportera -" "--format"
expect "surfklocka exportera --format " "csv json kalkyl"
expect "surfklocka exportera --format k" "kalkyl"
expect "surfklocka exportera --format csv -" ""
expect "surfklocka visa " ""
expect "surfklocka avisering " "av på"
expect "surfklocka avisering av " ""
expect "surfklocka abonnemang " "1 2 8"
expect "surfklocka abonnemang 8 -" "--fran"

[ "$failures" -eq 0 ] || { echo "$failures fel" >&2 && exit 1; }
echo "bash-kompletteringen: alla fall gick igenom"
