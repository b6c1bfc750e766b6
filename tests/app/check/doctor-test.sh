#!/usr/bin/env bash
# skirmora-sim doctor on fake game folders: for each case of game-folders.sh, the exit status, what the report
# says, its verdict first and again last; that it changes no file; Skirmora.log under %LOCALAPPDATA%.
# Usage: doctor-test.sh SKIRMORA_SIM SOURCE_DIR
set -uo pipefail
sim=$(realpath "$1") source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
source "$source/tests/app/check/game-folders.sh"
make_game_folders "$source" "$sim"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
before=$(find . -printf '%p %s %T@\n' | sort)
for row in "${GameFolderCases[@]}"; do
    IFS='|' read -r folder examined status _ says <<<"$row"
    path=$folder
    [[ $examined == . ]] || path+=/$examined
    report=$("$sim" doctor "$path" 2>&1)
    got=$?
    [[ $got == "$status" ]] || fail "$folder: status $got, expected $status"
    flat=$(tr -s '\n ' '  ' <<<"$report")  # wrapped lines joined
    IFS=';' read -ra fragments <<<"$(tr -s ' ' <<<"$says")"
    for fragment in "${fragments[@]}"; do
        if [[ $fragment == !* ]]; then
            grep -qF -- "${fragment:1}" <<<"$flat" && fail "$folder: the report says \"${fragment:1}\""
        else
            grep -qF -- "$fragment" <<<"$flat" || fail "$folder: the report lacks \"$fragment\""
        fi
    done
    [[ $(grep -cxF -- "$(head -1 <<<"$report")" <<<"$report") == 2 ]] || fail "$folder: the verdict is not last too"
    ((failures == 0)) || { sed 's/^/    /' <<<"$report"; break; }
done
[[ $(find . -printf '%p %s %T@\n' | sort) == "$before" ]] || fail "the doctor changed the folders"

# Skirmora.log where the script puts it when the game's folder refuses it: read only when it names this folder.
mkdir -p local/Skirmora local-log
cp -r never-ran/. local-log/
printf '{"EnableKey": "F8"}' >local-log/Skirmora_config.txt
touch -d 2000-01-01T00:05 local-log/ScriptHookV.log  # the start the run's log is of
(cd local-log && "$sim" run --seconds 2 --log ../local/Skirmora/Skirmora.log >/dev/null)
report=$(LOCALAPPDATA=$work/local "$sim" doctor local-log)
[[ $? == 0 ]] && grep -qF "$work/local/Skirmora/Skirmora.log, of the start on 2000-01-01 at 00:00:00:" <<<"$report" ||
    fail "the log under LOCALAPPDATA is not read: $report"
report=$(LOCALAPPDATA=$work/local "$sim" doctor never-ran)
grep -qF "local/Skirmora" <<<"$report" && fail "another folder's log under LOCALAPPDATA is read: $report"

echo "$failures failures"
((failures == 0))
