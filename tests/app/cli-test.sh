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
    output=$("$sim" "$@" 2>&1)
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
expect 0 "^skirmora-sim [0-9]+\.[0-9]+\.[0-9]+$" --version
expect 3 "skirmora-sim: A subcommand is required" 
expect 3 "skirmora-sim: The following argument was not expected: --bogus" run --bogus
expect 3 "--seconds: Failed parsing abc" run --seconds abc
expect 3 "--seconds: Value -4 not in range" run --seconds -4
expect 3 "--seed = x" run --seed x
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
expect 3 "skirmora-sim: The following argument was not expected: b" check a b
# Off a terminal the run writes nothing but its result: no progress line.
"$sim" run --seconds 3 >out.txt 2>err.txt
[[ ! -s err.txt ]] || { echo "FAIL: stderr off a terminal:"; cat err.txt; failures=$((failures + 1)); }

echo "$failures failures"
(( failures == 0 ))
