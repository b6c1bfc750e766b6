#!/usr/bin/env bash
# skirmora-sim.exe under Wine, against the Linux build of the same sources.
# Usage: exe-test.sh PART WINDOWS_BUILD LINUX_SKIRMORA_SIM SOURCE_DIR VERSION
#   check     the same report, errors and exit status for every config file the project holds
#   run       the same timeline, trace and pictures; names with spaces and non-ASCII characters everywhere
#   doctor    the same install check of every fake game folder of tests/app/check/game-folders.sh
#   explorer  a double-click, dropped files and folders, cmd, standard input closed or redirected: who waits for
#             Enter, what the window shows last, lines wrapped to its width
#   binaries  the exe's imports, both binaries' version resources, --version
set -uo pipefail
part=$1 build=$2 linux=$3 source=$4 version=$5
exe=$build/skirmora-sim.exe
player=$build/wine/skirmora-player.exe
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
windows() { timeout 120 wine "$exe" "$@"; }
winpath() { winepath -w "$1" 2>/dev/null; }

# same NAME ARGS...: run in folders of their own, the two builds give the same stdout, stderr, exit status and
# files written (the folder separator of Windows in the "Pictures:" line aside). Inputs are given as ../NAME.
same() {
    local name=$1 linuxStatus windowsStatus
    shift
    rm -rf linux windows && mkdir linux windows
    (cd linux && "$linux" "$@" >../linux.out 2>../linux.err)
    linuxStatus=$?
    (cd windows && windows "$@" >../windows.out 2>../windows.err)
    windowsStatus=$?
    sed -i '/^Pictures: /s|\\|/|g' windows.out
    [[ $linuxStatus == "$windowsStatus" ]] || fail "$name: exit status $windowsStatus on Windows, $linuxStatus on Linux"
    cmp -s linux.out windows.out || fail "$name: stdout differs: $(diff linux.out windows.out | head -5)"
    cmp -s linux.err windows.err || fail "$name: stderr differs: $(diff linux.err windows.err | head -5)"
    diff -r linux windows >/dev/null || fail "$name: the files written differ: $(diff -rq linux windows | head -3)"
}

case $part in
check)
    for f in "$source"/examples/*; do cp "$f" "example-$(basename "$f")"; done
    for f in "$source"/tests/fuzz/corpus/loader/*.json; do cp "$f" "corpus-$(basename "$f")"; done
    # As players' editors save it: Windows line ends and a byte-order mark; names no code page holds.
    { printf '\xef\xbb\xbf'; sed 's/$/\r/' example-Skirmora_config.txt; } >notepad.txt
    printf '{"Factions": [{"MemberModels": ["a_m_y_\xc3\xbcber_01", "\xe2\x80\x9cquoted\xe2\x80\x9d"], "MaxMembers": "t\xc3\xa9n"}]}' >names.txt
    mkdir folder
    for f in *.txt *.json missing.txt folder; do same "check $f" check "../$f"; done
    ;;
run)
    same "run downtown" run --config "$source/examples/Skirmora_config.txt" --scenario "$source/examples/downtown.json" \
        --trace trace.txt --svg pictures --html replay.html
    [[ -s linux/trace.txt && -s linux/replay.html && $(ls linux/pictures | wc -l) -ge 3 ]] ||
        fail "the run wrote no trace, no replay or too few pictures"
    # A second run over the first replaces its files whole and leaves none of its maps; no input is written over.
    printf '{"seconds": 2, "snapshots": [1]}' >one-map.json
    (cd windows && windows run --scenario ../one-map.json --svg pictures --html replay.html >/dev/null 2>&1) ||
        fail "a second run into the same files"
    [[ $(ls -A windows/pictures | tr '\n' ' ') == "index.html map-01.svg members.svg " ]] &&
        ! cmp -s linux/replay.html windows/replay.html || fail "the second run's files: $(ls -A windows/pictures)"
    same "run refuses to write over its scenario" run --scenario ../one-map.json --trace ./../one-map.json
    grep -q "is the scenario ../one-map.json, which the run reads" windows.err || fail "no clash said: $(cat windows.err)"
    # Every option given a name with spaces and characters beyond ASCII.
    dir="Mes réglages ü"
    mkdir "$dir" && cp "$source/examples/Skirmora_config.txt" "$dir/Skirmora config é.txt"
    cp "$source/examples/downtown.json" "$dir/scène.json"
    same "run with non-ASCII names" run --config "../$dir/Skirmora config é.txt" --scenario "../$dir/scène.json" \
        --seconds 20 --trace "trâce ü.txt" --svg "imágenes é" --html "imágenes é/repetición.html"
    [[ -s "windows/trâce ü.txt" && -s "windows/imágenes é/index.html" && -s "windows/imágenes é/repetición.html" ]] ||
        fail "no trace, pictures or replay under non-ASCII names"
    grep -q "Scenario downtown, ../$dir/Skirmora config é.txt" windows.out || fail "the run did not name its config"
    ;;
doctor)
    # Every fake game folder: the same report and status as on Linux.
    source "$source/tests/app/check/game-folders.sh"
    make_game_folders "$source" "$linux"
    for row in "${GameFolderCases[@]}"; do
        IFS='|' read -r folder examined _ <<<"$row"
        # Wine gives a file's last write as its creation time, which Windows sets when a file is unzipped.
        [[ $folder == fresh-unzip ]] && continue
        [[ $examined == . ]] && examined=$folder || examined=$folder/$examined
        same "doctor $folder" doctor "../$examined"
    done
    ;;
explorer)
    grep -q '"Graphics"="null"' "$WINEPREFIX/user.reg" 2>/dev/null ||  # consoles without a display
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
    source "$source/tests/app/check/game-folders.sh"
    make_game_folders "$source" "$linux"
    cp "$exe" skirmora-sim.exe
    mkdir empty "Mes réglages ü"
    printf '{"EnableKey": "f6", "Factions": [{"MemberModels": ["a_m_y_\xc3\xbcber_01", "\xe2\x80\x9cq\xe2\x80\x9d"]}]}' \
        >"Mes réglages ü/Skirmora config é.txt"
    dropped=$(winpath "Mes réglages ü")'\Skirmora config é.txt'
    look() {  # look MODE FOLDER [FILE...]: what the player sees, in $screen, its lines joined in $flat
        screen=$(timeout 120 wine "$player" "$1" "$(winpath "$2")" "$(winpath skirmora-sim.exe)" "${@:3}") ||
            fail "$1 in $2: hung or did not start: $screen"
        flat=$(tr -s '\n ' '  ' <<<"$screen")
    }
    shows() { for text in "$@"; do grep -qF -- "$text" <<<"$flat" || fail "the window lacks \"$text\": $screen"; done; }
    # fits [LAST]: no row as wide as the window (the console would have broken a word there), and LAST the
    # last line before "Press Enter".
    fits() {
        python3 -X utf8 -c '
import sys
lines = sys.stdin.read().splitlines()
columns, rows = int(lines[1].split()[1]), lines[2:]
assert all(len(row) < columns for row in rows), "a row as wide as the window"
if sys.argv[1]:
    end = max(k for k, row in enumerate(rows) if row.startswith("Press Enter"))
    assert [row for row in rows[:end] if row][-1] == sys.argv[1], "another last line"
' "${1:-}" <<<"$screen" || fail "the window's rows: $screen"
    }
    # A window of its own: no exit status, the report's verdict last, no line broken inside a word.
    player_window() {
        shows "waited for Enter"
        grep -q "(exit status" <<<"$screen" && fail "an exit status in a double-click's window: $screen"
        fits "$1"
    }
    look explorer legacy  # a double-click in a sound game folder
    player_window "  Start story mode and press F6."
    shows "$(winpath legacy): nothing stands in the way of the riot" "Press Enter to close" "exit status 0"
    look explorer asi-txt
    player_window "  - Skirmora.asi is named Skirmora.asi.txt"
    shows "Windows hides the last ending of a name" "exit status 1"
    look explorer empty "$dropped" "$(winpath legacy)\\Skirmora_config.txt"  # two files dropped
    status=$("$linux" check "Mes réglages ü/Skirmora config é.txt" >/dev/null; echo $?)
    player_window "$(winpath legacy)\\Skirmora_config.txt: loads completely, every key applied"
    shows "$dropped: " 'a_m_y_über_01' '“q”' 'line 1: "EnableKey": "f6" is not a key name: did you mean "F6"?' \
        "Note: the game reads only a file named Skirmora_config.txt" "exit status $status"
    look explorer empty "$(winpath only-config)"  # a dropped folder
    player_window "  - Skirmora_config.txt is named Skirmora_config.txt.txt"
    look explorer-nul-stdin legacy
    shows "did not wait" "exit status 0"
    look cmd legacy "$(winpath asi-txt)"  # a folder given in a command prompt: its exit status, no waiting
    shows "did not wait" "(exit status 1)" "exit status 1"
    grep -qF "Press Enter" <<<"$screen" && fail "cmd: asked for Enter in a shared console"
    cd legacy || exit 1
    for stdin in "<&-" "</dev/null" "<<<''"; do  # no console at all: the current folder examined
        screen=$(eval "timeout 60 wine '$exe' $stdin 2>&1")
        got=$?
        [[ $got == 0 ]] || fail "no console, stdin $stdin: status $got (124: it hung)"
        flat=$screen
        shows "$(winpath .): nothing stands in the way of the riot (exit status 0)"
        grep -qF "Press Enter" <<<"$screen" && fail "no console, stdin $stdin: asked for Enter"
    done
    ;;
binaries)
    dump=$(x86_64-w64-mingw32-objdump -p "$exe")
    grep -q "file format pei-x86-64" <<<"$dump" || fail "not a 64-bit PE image"
    extra=$(awk '/DLL Name:/{print tolower($3)}' <<<"$dump" | grep -v -E '^(kernel32|msvcrt|shell32|user32)\.dll$')
    [[ -z $extra ]] || fail "skirmora-sim.exe imports DLLs players do not have: $extra"
    for binary in "$exe" "$build/Skirmora.asi"; do
        resource=$(x86_64-w64-mingw32-windres -i "$binary" -O rc)
        for line in "FILEVERSION ${version//./, }, 0" "PRODUCTVERSION ${version//./, }, 0" '"ProductName", "Skirmora"' \
            "\"FileVersion\", \"$version\"" "\"ProductVersion\", \"$version\"" "\"OriginalFilename\", \"${binary##*/}\"" \
            '"LegalCopyright", "Copyright (c) 2026 the Skirmora developers'; do
            grep -qF -- "$line" <<<"$resource" || fail "${binary##*/}: the version resource lacks $line"
        done
    done
    [[ $(windows --version) == "skirmora-sim $version" ]] || fail "--version says $(windows --version)"
    ;;
*)
    fail "no part named $part"
    ;;
esac
echo "$part: $failures failures"
((failures == 0))
