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
printf '{"MaxRioters": 100}' > hundred.txt
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
expect 3 "cannot read the config file missing.txt: No such file or directory" run --config missing.txt
expect 3 "missing.json: cannot read the scenario: No such file or directory" run --scenario missing.json
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
    expect 3 "skirmora-sim: cannot write the standard output: No space left on device" run --seconds 1 ">/dev/full"
    expect 3 "skirmora-sim: writing the trace /dev/full failed: No space left on device" run --seconds 20 --trace /dev/full
fi

# Hostile command lines, one a row: the exit status, what stdout and stderr must match, the arguments as the
# shell reads them. Nothing a run reads is ever written over.
printf '{"seconds": 2}' >two.json
mkdir -p taken $'\e[31mgame' && cp small.txt taken/index.html && ln -sf small.txt link.txt && cp small.txt small.orig
printf '{"name": "\e[31mRED\a", "seconds": 1, "presses": [0.5, 5, 6], "snapshots": [0.5, 3]}' >raw.json
python3 -c 'print("{\"a\": " + "[" * 999 + "]" * 999 + "}")' >deep.json
while IFS='|' read -r -u 3 status pattern args; do
    [[ -z $status || $status == \#* ]] || eval "expect $status \"\$pattern\" $args"
done 3<<'TABLE'
3|^skirmora-sim: --trace small.txt is the config file small.txt, which the run reads$|run --config small.txt --trace small.txt
3|--html two.json is the scenario two.json, which the run reads|run --scenario two.json --html two.json
3|--trace ./two.json is the scenario two.json|run --scenario two.json --trace ./two.json
3|--log small.txt is the config file link.txt|run --config link.txt --log small.txt
3|--svg taken holds the config file taken/index.html, which the run reads|run --config taken/index.html --svg taken
3|--html taken/index.html is a file that --svg taken writes|run --svg taken --html taken/index.html
3|--trace s.out and --html ./s.out are the same file|run --trace s.out --html ./s.out
3|--trace: an empty name names no file|run --trace ''
3|--svg: an empty name names no file|run --svg ''
3|--html: an empty name names no file|run --html ''
3|--config: an empty name names no file|run --config ''
3|--seconds is given more than once: give it once|run --seconds 1 --seconds 2
3|--seed needs a whole number after it|run --seed
3|--trace needs a file name after it|run --trace
3|--trace-from and --trace-to choose a part of the trace: give --trace|run --trace-from 5
3|--trace-from must come before --trace-to|run --trace t.txt --trace-from 5 --trace-to 5
3|cannot write the replay nowhere/r.html: No such file or directory|run --html nowhere/r.html
3|cannot write the pictures into nowhere/deeper: No such file or directory|run --svg nowhere/deeper
3|--config and --scenario cannot both be read from standard input|run --config - --scenario - <small.txt
3|deep.json: not valid JSON: Line 1, Column 1005 nests arrays and objects more than 999 deep|run --scenario deep.json
3|unknown command '\\x1B\[31m'|$'\e[31m'
1|^\\x1B\[31mgame: one thing stands in the way|doctor $'\e[31mgame'
0|^Scenario built-in, standard input: 5 s of game time, 300 frames|run --config - --seconds 5 <small.txt
0|^ +0-5 +on +4 +4 +4 |run --config - --seconds 5 <small.txt
0|^ +0-5 +on +4 +4 +4 |run --config /dev/stdin --seconds 5 <small.txt
0|^Scenario standard input, no config file|run --scenario - <two.json
0|^Scenario \\x1B\[31mRED\\x07, .*1 s of game time|run --scenario raw.json
0|^Note: past the run's end \(1 s\), left out: the presses at 5 and 6 s, the snapshot at 3 s\.$|run --scenario raw.json
0|^ +0-4\.5  on |run --seconds 4.5
0|^In 4\.5 s: |run --seconds 4.5
0|^0 attacks, 0 hits, 0 rioters killed; you died 0 times\.$|run --seconds 4.5
0|: 0\.016 s of game time, 1 frame, seed 1\.|run --seconds 0.016
0|^ +5-5\.02  on |run --seconds 5.02
3|^Note: the trace will take some 87 GB \(86400 s of game time with up to 100 rioters\)|run --config hundred.txt --seconds 86400 --trace /dev/full
TABLE
# Standard input closed: a command that cannot read it says so (a command substitution would reopen it).
"$sim" check - >closed.txt 2>&1 <&-
[[ $? == 3 ]] && grep -q "cannot read standard input: Bad file descriptor" closed.txt ||
    { echo "FAIL: check - with standard input closed: $(cat closed.txt)"; failures=$((failures + 1)); }
cmp -s small.txt small.orig || { echo "FAIL: a refused run changed its config"; failures=$((failures + 1)); }
[[ ! -e s.out ]] || { echo "FAIL: a refused run wrote a file"; failures=$((failures + 1)); }
mkfifo fifo && { printf '{"MaxRioters": 3}' >fifo & }
expect 0 "^ +0-5 +on +3 +3 +3 " run --config fifo --seconds 5
# A run that fails leaves the file it would have replaced; one that succeeds replaces it, and its pictures'
# folder holds no map of an earlier run.
echo old >old.txt
(trap '' XFSZ; ulimit -f 64; "$sim" run --seconds 60 --trace old.txt >/dev/null 2>limit.txt)
[[ $? == 3 && $(cat old.txt) == old ]] && grep -q "writing the trace old.txt failed: File too large" limit.txt &&
    [[ -z $(ls -A | grep '\.tmp$') ]] || { echo "FAIL: a failed trace: $(cat limit.txt)"; failures=$((failures + 1)); }
"$sim" run --seconds 12 --svg pics >/dev/null && "$sim" run --scenario two.json --svg pics >/dev/null
[[ $(ls pics) == "$(printf 'index.html\nmap-01.svg\nmap-02.svg\nmap-03.svg\nmap-04.svg\nmap-05.svg\nmap-06.svg\nmembers.svg')" ]] &&
    grep -q "t = 2.0 s" pics/index.html ||
    { echo "FAIL: the second run's pictures: $(ls pics)"; failures=$((failures + 1)); }
printf '{"seconds": 2, "snapshots": [1]}' >one-map.json
"$sim" run --scenario one-map.json --svg pics >/dev/null
[[ $(ls pics) == "$(printf 'index.html\nmap-01.svg\nmembers.svg')" ]] ||
    { echo "FAIL: maps of an earlier run stay: $(ls pics)"; failures=$((failures + 1)); }
# A pipe whose reader is gone before the run writes: no race with the reader's exit.
closedPipe() { python3 -c 'import os, subprocess, sys
r, w = os.pipe(); os.close(r); sys.exit(subprocess.call(sys.argv[1:], stdout=w))' "$@"; }
closedPipe "$sim" run --seconds 30 2>pipe.err
status=$?
[[ $status == 3 ]] && grep -q "Broken pipe" pipe.err ||
    { echo "FAIL: a closed pipe: status $status, $(cat pipe.err)"; failures=$((failures + 1)); }

# Hostile runs, one a row (fields split at ~), each in a folder of its own that holds c.txt (a config) and s.json (a scenario): the
# exit status, what stdout and stderr must match, the files to make first, the command ($sim is the program), and
# what must hold after it. No input and no file but the outputs may change, and nothing hidden may stay.
chmod 755 "$work"
asUser=() # an unprivileged user, for what root could read anyway
[[ $(id -u) == 0 ]] && id nobody >/dev/null 2>&1 && asUser=(runuser -u nobody --)
row=0
while IFS='~' read -r -u 3 status pattern setup command after; do
    [[ -z $status || $status == \#* ]] && continue
    row=$((row + 1))
    mkdir -m 777 "row$row" && cd "row$row" || exit 1
    printf '{"MaxRioters": 4}' >c.txt && printf '{"seconds": 2}' >s.json && cp c.txt s.json ..
    eval "$setup"
    output=$(eval "$command" 2>&1)
    actual=$?
    if [[ $actual != "$status" ]] || ! grep -qE -- "$pattern" <<<"$output" || ! eval "$after" ||
        ! cmp -s c.txt ../c.txt || ! cmp -s s.json ../s.json || ls -A | grep -q '^\.'; then
        echo "FAIL: row $row: $command -> status $actual (expected $status), output:"
        sed 's/^/    /' <<<"$output" | head -8
        echo "    files: $(ls -A | tr '\n' ' ')"
        failures=$((failures + 1))
    fi
    cd ..
done 3<<'TABLE'
3~the picture pics/index.html \(--svg pics\) is the config file c.txt~mkdir pics; ln -s ../c.txt pics/index.html; ln -s ../s.json pics/map-01.svg~$sim run --config c.txt --scenario s.json --svg pics~true
3~the picture pics/members.svg \(--svg pics\) and --html r.html are the same file~mkdir pics; ln -s ../r.html pics/members.svg~$sim run --seconds 1 --html r.html --svg pics~[[ ! -e r.html ]]
0~Trace of every native call: t.txt~echo v >victim.txt~bash -c 'ln -s victim.txt .t.txt.$$-1.tmp; exec "$0" run --seconds 1 --trace t.txt' $sim; rm .t.txt.*~[[ $(cat victim.txt) == v && -f t.txt && ! -L t.txt ]]
0~Trace of every native call: d.txt~ln -s gone.txt d.txt~$sim run --seconds 1 --trace d.txt~[[ -L d.txt && -s gone.txt ]]
0~The script's log: l.log~echo old >l.log; chmod 640 l.log~umask 077; $sim run --seconds 1 --log l.log --trace new.txt~[[ $(stat -c %a l.log new.txt) == $'640\n600' ]]
3~writing the log l.log failed: File too large~echo old >l.log~(trap '' XFSZ; ulimit -f 1; exec $sim run --scenario $examples/downtown.json --log l.log)~[[ $(cat l.log) == old ]]
3~writing the log /dev/full failed: No space left on device~~$sim run --seconds 1 --log /dev/full~true
3~writing pics/map-0[1-6].svg failed: File too large~$sim run --seconds 3 --svg pics >/dev/null; cat pics/* >old~(trap '' XFSZ; ulimit -f 5; exec $sim run --scenario $examples/downtown.json --svg pics)~cat pics/* | cmp -s - old
3~^skirmora-sim: --log run.txt and the standard output are the same file$~~$sim run --seconds 1 --log run.txt >run.txt~[[ ! -s run.txt ]]
3~--log /dev/stdout and the standard output are the same file~~$sim run --seconds 1 --log /dev/stdout >f.txt~true
3~the standard output is the config file c2.txt~cp c.txt c2.txt~$sim run --seconds 1 --config c2.txt >>c2.txt~true
3~--html pics is the folder --svg pics~~$sim run --svg pics --html pics~[[ ! -e pics ]]
3~cannot write the replay nowhere/r.html~mkdir pics~$sim run --svg new --html nowhere/r.html~[[ ! -e new ]]
143~^Stopped at [0-9.]+ s of game time by SIGTERM~mkdir tmp~$sim run --config - --seconds 86400 --trace t.txt --log l.log --html r.html --svg pics <c.txt & sleep 1; kill -TERM $!; wait $!~[[ -s t.txt && -s l.log && -s r.html && -s pics/index.html ]]
129~^In [0-9]+ s: ~mkdir tmp~cat c.txt | TMPDIR=tmp $sim run --config - --seconds 86400 --trace t.txt & sleep 1; kill -HUP $!; wait $!~[[ -s t.txt && -z $(ls -A tmp) ]]
130~Stopped at .* by Ctrl\+C~mkdir tmp~cat c.txt | TMPDIR=tmp $sim run --config - --seconds 86400 --trace t.txt --svg pics & sleep 1; kill -INT $!; sleep 0.05; kill -INT $!; wait $!~[[ -z $(ls -A tmp) ]]
3~cannot read the config file ./Skirmora_config.txt: Is a directory~mkdir Skirmora_config.txt~$sim run --seconds 1~true
3~cannot read the config file ./Skirmora_config.txt: Permission denied~cp c.txt Skirmora_config.txt; chmod 000 Skirmora_config.txt~"${asUser[@]}" $sim run --seconds 1~true
3~--config /dev/stdin and --scenario - are one pipe, which holds one input only~~ cat c.txt | $sim run --config /dev/stdin --scenario -~true
0~^Scenario built-in, n\\x0Al.txt: ~cp c.txt $'n\nl.txt'~$sim run --seconds 1 --config $'n\nl.txt'~true
3~^skirmora-sim: cannot read the config file a\\x0Ab: No such file~~ $sim run --config $'a\nb'~true
0~^n\\x0Al.txt: loads completely~cp c.txt $'n\nl.txt'~$sim check $'n\nl.txt'~true
3~--trace-to 0 traces nothing: the trace starts at the run's start \(0 s\)~~$sim run --trace t.txt --trace-to 0~true
0~^Note: --trace-from 100 is past the run's end \(5 s\): the trace will be empty\.$~~$sim run --seconds 5 --trace t.txt --trace-from 100~[[ -e t.txt && ! -s t.txt ]]
0~Run `skirmora-sim check "with space.txt"` for details~echo '{"MaxRioter": 1}' >'with space.txt'~$sim run --seconds 1 --config 'with space.txt'~true
0~Run `skirmora-sim check -- -x.txt` for details~echo '{"MaxRioter": 1}' >-x.txt~$sim run --seconds 1 --config -x.txt~true
0~^-x.txt: loads completely~cp c.txt -- -x.txt~$sim check -- -x.txt~true
1~^-d: 3 things stand in the way~mkdir -- -d; touch -- -d/GTA5.exe~$sim doctor -- -d~true
3~unexpected argument 'x' for run~~ $sim run -- x~true
TABLE
# Off a terminal the run writes nothing but its result: no progress line.
"$sim" run --seconds 3 >out.txt 2>err.txt
[[ ! -s err.txt ]] || { echo "FAIL: stderr off a terminal:"; cat err.txt; failures=$((failures + 1)); }

echo "$failures failures"
(( failures == 0 ))
