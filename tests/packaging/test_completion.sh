#!/usr/bin/env bash
# The bash completion (resources/completion/surfklocka): what it offers after each word.
#
# Usage: test_completion.sh <path of the completion file>
set -uo pipefail

# shellcheck source=/dev/null
source "$1" || exit 1
if [ "$(complete -p surfklocka 2>/dev/null)" != "complete -F _surfklocka surfklocka" ]; then
    echo "FEL: kompletteringen är inte kopplad till surfklocka" >&2
    exit 1
fi

failures=0
# expect "<the words, the last one being completed>" "<what should be offered, in C order>"
expect() {
    local line=$1 expected=$2
    read -r -a COMP_WORDS <<<"$line"
    if [[ $line == *" " ]]; then COMP_WORDS+=(""); fi
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _surfklocka
    local offered
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd ' ')
    if [ "$offered" != "$expected" ]; then
        echo "FEL: \"$line\" gav \"$offered\", inte \"$expected\"" >&2
        failures=$((failures + 1))
    fi
}

expect "surfklocka " "--help --version abonnemang avisering boka exportera summa visa"
expect "surfklocka b" "boka"
expect "surfklocka --" "--help --version"
expect "surfklocka boka -" "--anslutning --datum"
expect "surfklocka boka --d" "--datum"
expect "surfklocka boka --datum " ""
expect "surfklocka boka --datum 2001-03-03 -" ""
expect "surfklocka boka --anslutning " ""
expect "surfklocka boka --anslutning 54" ""
expect "surfklocka boka 90" "90h 90m 90s"
expect "surfklocka boka --datum 2001-03-03 1h30" "1h30m 1h30s"
expect "surfklocka boka 1h30m5" "1h30m5s"
expect "surfklocka boka 1:30" ""
expect "surfklocka exportera -" "--format"
expect "surfklocka exportera --format " "csv json kalkyl"
expect "surfklocka exportera --format j" "json"
expect "surfklocka exportera --format k" "kalkyl"
expect "surfklocka exportera --format csv -" ""
expect "surfklocka visa " ""
expect "surfklocka summa 2001-01-01 " ""
expect "surfklocka avisering " "av på"
expect "surfklocka avisering p" "på"
expect "surfklocka avisering av " ""
expect "surfklocka abonnemang " "1 2 8"
expect "surfklocka abonnemang 8 -" "--fran"
expect "surfklocka abonnemang 8 --fran " ""

if [ "$failures" -gt 0 ]; then
    echo "$failures fel" >&2
    exit 1
fi
echo "bash-kompletteringen: alla fall gick igenom"
