#!/usr/bin/env bash
# skirmora-sim.exe under Wine, against the Linux build of the same sources.
# Usage: exe-test.sh PART WINDOWS_BUILD LINUX_SKIRMORA_SIM SOURCE_DIR VERSION
#   check     the same report, errors and exit status for every config file the project holds
#   run       the same timeline, trace and pictures; names with spaces and non-ASCII characters everywhere
#   explorer  a double-click, a dropped file, cmd, standard input closed or redirected: who waits for Enter
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
explorer)
    grep -q '"Graphics"="null"' "$WINEPREFIX/user.reg" 2>/dev/null ||  # consoles without a display
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
    cp "$exe" skirmora-sim.exe
    mkdir game empty "Mes réglages ü"
    printf '{"EnableKey": "f6", "Factions": [{"MemberModels": ["a_m_y_\xc3\xbcber_01", "\xe2\x80\x9cq\xe2\x80\x9d"]}]}' \
        >game/Skirmora_config.txt
    dropped=$(winpath "Mes réglages ü")'\Skirmora config é.txt'
    cp game/Skirmora_config.txt "Mes réglages ü/Skirmora config é.txt"
    status=$(cd game && "$linux" check Skirmora_config.txt >/dev/null; echo $?)
    look() {  # look MODE FOLDER [FILE]: what the player sees, in $screen
        screen=$(timeout 120 wine "$player" "$1" "$(winpath "$2")" "$(winpath skirmora-sim.exe)" "${@:3}") ||
            fail "$1 in $2: hung or did not start: $screen"
    }
    shows() { for text in "$@"; do grep -qF -- "$text" <<<"$screen" || fail "the window lacks \"$text\": $screen"; done; }
    look explorer game  # the report's lines unwrapped: the window is widened to 120 columns
    shows "waited for Enter" "$(winpath game/Skirmora_config.txt): " "exit status $status" 'a_m_y_über_01' '“q”' \
        'line 1: "EnableKey": "f6" is not a key name: did you mean "F6"?' "Press Enter to close"
    look explorer empty
    shows "waited for Enter" "There is no Skirmora_config.txt in the folder it looked in:" "  $(winpath empty)" \
        "exit status 3"
    look explorer empty "$dropped"
    shows "waited for Enter" "$dropped: " "exit status $status"
    look explorer-nul-stdin game
    shows "did not wait" "exit status $status"
    look cmd game Skirmora_config.txt
    shows "did not wait" "Skirmora_config.txt: " 'a_m_y_über_01' "exit status $status"
    grep -qF "Press Enter" <<<"$screen" && fail "cmd: asked for Enter in a shared console"
    cd game || exit 1
    for stdin in "<&-" "</dev/null" "<<<''"; do  # no console at all
        screen=$(eval "timeout 60 wine '$exe' $stdin 2>&1")
        got=$?
        [[ $got == "$status" ]] || fail "no console, stdin $stdin: status $got (124: it hung)"
        shows "$(winpath Skirmora_config.txt): "
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
