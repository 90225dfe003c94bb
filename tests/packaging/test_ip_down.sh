#!/usr/bin/env bash
# The ip-down script for pppd (resources/ppp/surfklocka) with fake surfklocka, runuser and getent
# commands that record how they were called: a connection's whole seconds are booked as the user
# named in the defaults file, with that user's HOME and XDG_DATA_HOME and nothing else of the
# caller's environment; anything else in CONNECT_TIME or the defaults file runs nothing; and the
# script always exits with 0.
#
# Usage: test_ip_down.sh <path of the ip-down script>
set -uo pipefail

script=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# runuser: records its arguments one a line, then runs what follows "--", as the real one would
# as the user.
cat >"$work/runuser" <<FAKE
#!/bin/sh
printf '%s\\n' "\$@" >"$work/log/runuser"
FAKE
cat >>"$work/runuser" <<'FAKE'
while [ $# -gt 0 ] && [ "$1" != -- ]; do shift; done
shift
exec "$@"
FAKE
# surfklocka: records its arguments and its whole environment; fails when the test leaves a file
# "fail" beside it (its environment is the script's choice, not the test's).
cat >"$work/surfklocka" <<FAKE
#!/bin/sh
printf '%s\\n' "\$@" >"$work/log/surfklocka"
env | LC_ALL=C sort >"$work/log/environment"
[ ! -e "$work/fail" ]
FAKE
# getent: knows anna and root.
cat >"$work/getent" <<'FAKE'
#!/bin/sh
[ "$1" = passwd ] || exit 2
case $2 in
anna) echo 'anna:x:1000:1000:Anna,,,:/home/anna:/bin/bash' ;;
root) echo 'root:x:0:0:root:/root:/bin/bash' ;;
*) exit 2 ;;
esac
FAKE
chmod 755 "$work/runuser" "$work/surfklocka" "$work/getent"

failures=0
fail() {
    echo "FEL: $*" >&2
    failures=$((failures + 1))
}

# Runs the script with CONNECT_TIME set to $1 (unset when $1 is "-unset-") and the defaults file
# holding $2 (no file when $2 is "-none-"). Further arguments are more environment for the script.
run() {
    local connect_time=$1 defaults_text=$2
    shift 2
    rm -rf "$work/log" "$work/defaults" "$work/canary"
    mkdir "$work/log"
    if [ "$defaults_text" != -none- ]; then
        printf '%s\n' "$defaults_text" >"$work/defaults"
    fi
    local environment=(
        SURFKLOCKA_IP_DOWN_DEFAULTS="$work/defaults" SURFKLOCKA_IP_DOWN_SURFKLOCKA="$work/surfklocka"
        SURFKLOCKA_IP_DOWN_RUNUSER="$work/runuser" SURFKLOCKA_IP_DOWN_GETENT="$work/getent"
        PATH="$PATH" "$@"
    )
    if [ "$connect_time" != -unset- ]; then
        environment+=(CONNECT_TIME="$connect_time")
    fi
    (cd "$work" && env -i "${environment[@]}" sh "$script")
    status=$?
}

expect_booked() {
    local what=$1 seconds=$2
    if [ "$status" -ne 0 ]; then fail "$what: slutstatus $status"; fi
    if [ ! -f "$work/log/runuser" ]; then
        fail "$what: runuser kördes inte"
        return
    fi
    local runuser_arguments
    runuser_arguments=$(head -n 3 "$work/log/runuser" | paste -sd ' ')
    if [ "$runuser_arguments" != "-u anna --" ]; then
        fail "$what: runuser fick $runuser_arguments"
    fi
    local booked
    booked=$(paste -sd ' ' "$work/log/surfklocka" 2>/dev/null)
    if [ "$booked" != "boka --anslutning $seconds" ]; then
        fail "$what: surfklocka fick \"$booked\", inte \"boka --anslutning $seconds\""
    fi
    local expected_environment
    expected_environment=$(printf '%s\n' HOME=/home/anna LANG=C.UTF-8 LOGNAME=anna \
        PATH=/usr/local/bin:/usr/bin:/bin PWD="$work" USER=anna \
        XDG_DATA_HOME=/home/anna/.local/share | LC_ALL=C sort)
    if ! diff <(echo "$expected_environment") "$work/log/environment" >&2; then
        fail "$what: surfklocka fick en annan miljö"
    fi
}

expect_nothing() {
    local what=$1
    if [ "$status" -ne 0 ]; then fail "$what: slutstatus $status"; fi
    if [ -e "$work/log/runuser" ] || [ -e "$work/log/surfklocka" ]; then
        fail "$what: något kördes"
    fi
    if [ -e "$work/canary" ]; then
        fail "$what: CONNECT_TIME eller standardfilen kördes som kommando"
    fi
}

user_line=SURFKLOCKA_ANVANDARE=anna

run 5400 "$user_line"
expect_booked "CONNECT_TIME=5400" 5400

run 5400 "# Surfklocka
#SURFKLOCKA_ANVANDARE=root
SURFKLOCKA_ANVANDARE=\"anna\""
expect_booked "användaren inom citattecken" 5400

run 0061 "SURFKLOCKA_ANVANDARE='anna'"
expect_booked "inledande nollor" 61

run 5400 "$user_line" XDG_DATA_HOME=/root/.local/share HOME=/root USER=root SECRET=x
expect_booked "root:s miljö följer inte med" 5400

touch "$work/fail"
run 5400 "$user_line"
expect_booked "surfklocka misslyckas" 5400
rm "$work/fail"

# shellcheck disable=SC2016 # the commands in quotes must not run
for connect_time in "12; rm -rf /" "12; touch canary" '$(touch canary)' '`touch canary`' "" \
    "-5" "-0" "5400 " " 5400" "12 13" "1e3" "0x10" "5.5" "0" "000" "1234567890" \
    "$(printf '12\ntouch canary')"; do
    run "$connect_time" "$user_line"
    expect_nothing "CONNECT_TIME=\"$connect_time\""
done
run -unset- "$user_line"
expect_nothing "utan CONNECT_TIME"

run 5400 -none-
expect_nothing "utan standardfil"
run 5400 ""
expect_nothing "tom standardfil"
run 5400 "#SURFKLOCKA_ANVANDARE=anna"
expect_nothing "utan användare"
# shellcheck disable=SC2016 # the commands in quotes must not run
for user in root okand "-u" "anna;touch canary" '$(touch canary)' "anna bertil" "../anna" "1000" \
    "anna\\"; do
    run 5400 "SURFKLOCKA_ANVANDARE=$user"
    expect_nothing "SURFKLOCKA_ANVANDARE=$user"
done

if [ "$failures" -gt 0 ]; then
    echo "$failures fel" >&2
    exit 1
fi
echo "ip-down-skriptet: alla fall gick igenom"
