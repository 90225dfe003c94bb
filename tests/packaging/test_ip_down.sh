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

# runuser records its first three arguments and runs the rest, as the real one would as the user;
# surfklocka records its arguments and its whole environment, and fails when the test leaves a
# file "fail" beside it; getent knows anna and root.
printf '#!/bin/sh\necho "runuser $1 $2 $3" >>"%s/log"\nshift 3\nexec "$@"\n' "$work" >"$work/runuser"
printf '#!/bin/sh\necho "surfklocka $*" >>"%s/log"\nenv | LC_ALL=C sort >>"%s/log"\n[ ! -e "%s/fail" ]\n' \
    "$work" "$work" "$work" >"$work/surfklocka"
cat >"$work/getent" <<'FAKE'
#!/bin/sh
case $1:$2 in
passwd:anna) echo 'anna:x:1000:1000:Anna,,,:/home/anna:/bin/bash' ;;
passwd:root) echo 'root:x:0:0:root:/root:/bin/bash' ;;
*) exit 2 ;;
esac
FAKE
chmod 755 "$work/runuser" "$work/surfklocka" "$work/getent"

failures=0
# check <CONNECT_TIME, or -unset-> <the defaults file, or -none-> <the seconds booked, or "" for
# nothing run> [more environment for the script]
check() {
    local connect_time=$1 defaults=$2 seconds=$3 expected="0 " got
    shift 3
    rm -f "$work/log" "$work/defaults" "$work/canary"
    if [ "$defaults" != -none- ]; then printf '%s\n' "$defaults" >"$work/defaults"; fi
    local environment=(
        SURFKLOCKA_IP_DOWN_DEFAULTS="$work/defaults" SURFKLOCKA_IP_DOWN_SURFKLOCKA="$work/surfklocka"
        SURFKLOCKA_IP_DOWN_RUNUSER="$work/runuser" SURFKLOCKA_IP_DOWN_GETENT="$work/getent"
        PATH="$PATH" "$@"
    )
    if [ "$connect_time" != -unset- ]; then environment+=(CONNECT_TIME="$connect_time"); fi
    (cd "$work" && env -i "${environment[@]}" sh "$script")
    # The exit status, what was run, and the canary a command in the values would have made.
    got="$? $(cat "$work/log" 2>/dev/null; ls "$work/canary" 2>/dev/null)"
    if [ -n "$seconds" ]; then
        expected+=$(printf '%s\n' "runuser -u anna --" "surfklocka boka --anslutning $seconds" \
            HOME=/home/anna LANG=C.UTF-8 LOGNAME=anna PATH=/usr/local/bin:/usr/bin:/bin \
            PWD="$work" USER=anna XDG_DATA_HOME=/home/anna/.local/share)
    fi
    if [ "$got" != "$expected" ]; then
        echo "FEL: CONNECT_TIME=\"$connect_time\", \"$defaults\" gav $got" >&2
        failures=$((failures + 1))
    fi
}

user_line=SURFKLOCKA_ANVANDARE=anna
check 5400 "$user_line" 5400
check 5400 $'# Surfklocka\n#SURFKLOCKA_ANVANDARE=root\nSURFKLOCKA_ANVANDARE="anna"' 5400
check 0061 "SURFKLOCKA_ANVANDARE='anna'" 61
# Nothing of root's environment follows.
check 5400 "$user_line" 5400 XDG_DATA_HOME=/root/.local/share HOME=/root USER=root SECRET=x
touch "$work/fail" # surfklocka fails: the script still exits with 0
check 5400 "$user_line" 5400
rm "$work/fail"

# shellcheck disable=SC2016 # the commands in quotes must not run
for connect_time in "12; rm -rf /" "12; touch canary" '$(touch canary)' '`touch canary`' "" \
    "-5" "-0" "5400 " " 5400" "12 13" "1e3" "0x10" "5.5" "0" "000" "1234567890" \
    "$(printf '12\ntouch canary')"; do
    check "$connect_time" "$user_line" ""
done
check -unset- "$user_line" ""
check 5400 -none- ""
check 5400 "" ""
check 5400 "#SURFKLOCKA_ANVANDARE=anna" ""
# shellcheck disable=SC2016 # the commands in quotes must not run
for user in root okand "-u" "anna;touch canary" '$(touch canary)' "anna bertil" "../anna" "1000" \
    "anna\\"; do
    check 5400 "SURFKLOCKA_ANVANDARE=$user" ""
done

[ "$failures" -eq 0 ] || { echo "$failures fel" >&2 && exit 1; }
echo "ip-down-skriptet: alla fall gick igenom"
