#!/usr/bin/env bash
# The skirmora-sim command line: exit status and what it says, for good and bad invocations.
# Usage: cli-test.sh SKIRMORA_SIM EXAMPLES_DIR
set -uo pipefail
sim=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf '{\n  "seconds": 5,\n  "player": {"path": "east"}\n}\n' > bad.json
printf '{"MaxRioters": 4}' > small.txt
failures=0

# expect STATUS PATTERN ARGS...: runs the command, checks its status and that stdout+stderr match the pattern.
expect() {
    local status=$1 pattern=$2
    shift 2
    local output actual
    if [[ ${*: -1} == ">/dev/full" ]]; then
        output=$("$sim" "${@:1:$#-1}" 2>&1 >/dev/full)
    else
        output=$("$sim" "$@" 2>&1)
    fi
    actual=$?
    if [[ $actual != "$status" ]] || ! grep -qE -- "$pattern" <<<"$output"; then
        echo "FAIL: skirmora-sim $* -> status $actual (expected $status), output:"
        sed 's/^/    /' <<<"$output" | head -20
        echo "    expected to match: $pattern"
        failures=$((failures + 1))
    fi
}

expect 0 "Subcommands:.*" --help
expect 0 "--scenario" run --help
expect 0 "default: ./Skirmora_config.txt when there is one, else the built-in values" run --help
expect 0 "^skirmora-sim [0-9]+\.[0-9]+\.[0-9]+$" --version
expect 3 "skirmora-sim: a command is required: run, check or doctor"
expect 3 "unknown command 'chek': did you mean 'check'\? Valid commands: run, check, doctor" chek
expect 3 "unknown run option '--sed': did you mean '--seed'\?.*--seconds, --seed, --trace" run --sed 4
expect 3 "unknown run option '--bogus'\. Valid run options:" run --bogus
expect 3 "--seconds: 'abc' is not a number of seconds from 0.001 to 86400" run --seconds abc
expect 3 "--seconds: '-4' is not a number" run --seconds -4
for seed in x -1 18446744073709551616 1.5; do
    expect 3 "--seed: '$seed' is not a whole number from 0 to 18446744073709551615" run --seed $seed
done
expect 0 "seed 18446744073709551615\." run --seconds 1 --seed 18446744073709551615
expect 3 "--config: File does not exist: missing.txt" run --config missing.txt
expect 3 "--scenario: File does not exist" run --scenario missing.json
expect 3 "skirmora-sim: bad.json:3: \"player.path\" must be an array" run --scenario bad.json
expect 3 "skirmora-sim: cannot write the trace nowhere/t.txt: No such file or directory" run --seconds 1 --trace nowhere/t.txt
expect 0 "Scenario built-in, no config file \(built-in values\): 6 s" run --seconds 6
expect 0 "Scenario downtown, small.txt" run --config small.txt --scenario "$examples/downtown.json" --seconds 10
expect 0 "Trace of every native call: t.txt" run --seconds 2 --trace t.txt
[[ -s t.txt ]] || { echo "FAIL: the trace is empty"; failures=$((failures + 1)); }
grep -q "GetTickCount() -> " t.txt || { echo "FAIL: the trace holds no tick read"; failures=$((failures + 1)); }
printf '{"EnableKey": "f6", "MaxRioter": 3}' > typo.txt
printf '{"Factions": [{"MaxMembers": "ten"}]}' > early.txt
expect 0 "small.txt: loads completely" check small.txt
expect 1 "unknown key \"MaxRioter\": did you mean \"MaxRioters\"\?" check typo.txt
expect 2 "\"Factions\[0\].MaxMembers\" is a text" check early.txt
expect 3 "cannot read missing.txt" check missing.txt
expect 3 "cannot read Skirmora_config.txt" check
expect 3 "skirmora-sim: unexpected argument 'b' for check" check a b
expect 0 "The game's folder \(default: the current folder\)" doctor --help
expect 3 "skirmora-sim: unexpected argument 'b' for doctor" doctor a b
# Habits of Windows, the same everywhere: /? for help, files and folders given without a command (as dropped),
# one after another; a misspelt file is a file, and a path that starts with / or \ is no option.
expect 0 "Subcommands:" "/?"
expect 0 "Subcommands:" -h
expect 3 "^skirmora-sim: cannot read Skirmora_confg.txt: No such file or directory" Skirmora_confg.txt
expect 3 "cannot read /nowhere/Skirmora_config.txt" /nowhere/Skirmora_config.txt
expect 3 "cannot read \\\\nowhere" '\nowhere'
expect 2 "^early.txt: the load ended early" small.txt early.txt
expect 2 "^small.txt: loads completely" small.txt early.txt
cp small.txt Skirmora_config.txt.txt
expect 0 "^Note: the game reads only a file named Skirmora_config.txt, in its own folder: Windows hides" Skirmora_config.txt.txt
mkdir game && touch game/GTA5.exe
expect 1 "^game: 3 things stand in the way of the riot" game
# A config that does not load as written gets the check's verdict in one line; the riot plays all the same.
expect 0 "^Note: early.txt: the load ended early, at line 1, column 30; .*Run \`skirmora-sim check early.txt\`" \
    run --seconds 1 --config early.txt
expect 0 "^Note: typo.txt: loads, but 2 keys changed nothing; " run --seconds 1 --config typo.txt
expect 3 "cannot read the config file /dev/zero: it holds more than 64 MiB" run --config /dev/zero
expect 3 "/dev/zero: cannot read the scenario: it holds more than 64 MiB" run --scenario /dev/zero

# Every output is tried before the run, and one that fails later still gives status 3.
output=$(timeout 10 "$sim" run --seconds 86400 --svg small.txt/pics 2>&1)
[[ $? == 3 && $output == "skirmora-sim: cannot write the pictures into small.txt/pics: Not a directory" ]] ||
    { echo "FAIL: an unwritable --svg is refused before the run: $output"; failures=$((failures + 1)); }
if [[ -w /dev/full ]]; then
    expect 3 "skirmora-sim: cannot write the standard output" run --seconds 1 ">/dev/full"
    expect 3 "skirmora-sim: writing the trace /dev/full failed" run --seconds 20 --trace /dev/full
fi

# Ctrl+C ends a game day early with the timeline so far and the pictures.
"$sim" run --seconds 86400 --svg stopped >int.txt 2>&1 &
sleep 1
kill -INT $!
wait $!
status=$?
[[ $status == 130 ]] && grep -q "^Stopped at [0-9]* s of game time by Ctrl+C" int.txt && grep -q "^In [0-9]* s:" int.txt &&
    [[ -s stopped/index.html ]] ||
    { echo "FAIL: Ctrl+C: status $status"; head -5 int.txt; failures=$((failures + 1)); }
# Off a terminal the run writes nothing but its result: no progress line.
"$sim" run --seconds 3 >out.txt 2>err.txt
[[ ! -s err.txt ]] || { echo "FAIL: stderr off a terminal:"; cat err.txt; failures=$((failures + 1)); }

echo "$failures failures"
(( failures == 0 ))
