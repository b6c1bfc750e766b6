# Fake game folders, one for each case the install check knows, with what it must say of each. Sourced by
# doctor-test.sh (skirmora-sim on Linux) and tests/windows/exe-test.sh (skirmora-sim.exe under Wine, which must
# say the same, byte for byte).
# A row: FOLDER|EXAMINED (within FOLDER)|STATUS|FILES|SAYS. FILES are made in order, empty, a "sub/" part making
# the folder; NAME<WHAT fills one:
#   asi        a 64-bit DLL carrying the version of the skirmora-sim that makes the folders; text: not a DLL
#   example    the players' example config; early: a config whose load ends early; f6: a config of one key;
#              many: one that allows 160 rioters; notjson: one that is no JSON text
#   huge       5 GiB of zero bytes (sparse); utf16: UTF-16 text that is no log
#   run        the Skirmora.log that skirmora-sim run --log writes in this folder, the toggle key pressed once;
#              run-off: never pressed; run-elsewhere: written in another folder; run-old: of Skirmora 0.0.9, in
#              its format (no date)
#   a log of game-logs/, as it is or FORMAT:LOG with FORMAT utf16 (UTF-16 LE with a byte-order mark),
#              utf16bare (without one), utf8bom (UTF-8 with one) or crlf (Windows line ends)
# and @WHEN after it dates the file's last write (touch -d, _ for a blank). The game's logs are timed
# against the simulated game's calendar, 2000-01-01 (a run's log starts then, at 00:00:00).
# SAYS: fragments the report holds, ;-separated; one starting with ! must not be in it.
game=(GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.asi\<asi)
enhanced=(GTA5_Enhanced.exe ScriptHookV.dll xinput1_4.dll Skirmora.asi\<asi)
hooked=ScriptHookV.log\<ScriptHookV-started.log@2000-01-01T00:05  # the start that a run's log is of
GameFolderCases=(
    "legacy|.|0|${game[*]} Skirmora_config.txt<f6|nothing stands in the way of the riot;GTA5.exe: the game, Legacy edition;dinput8.dll: the ASI loader;Skirmora.asi: the script, Skirmora 0.;Skirmora_config.txt: loads completely;press F6."
    "enhanced|.|0|${enhanced[*]} Skirmora_config.example.txt|the game, Enhanced edition;xinput1_4.dll: the ASI loader;copy Skirmora_config.example.txt to Skirmora_config.txt;press F7.;!What to do"
    "enhanced-dinput8|.|1|GTA5_Enhanced.exe ScriptHookV.dll dinput8.dll Skirmora.asi<asi|2 things stand;xinput1_4.dll, the ASI loader, is missing;dinput8.dll does not belong to the Enhanced edition;known to crash the Enhanced edition"
    "legacy-xinput|.|1|${game[*]} xinput1_4.dll|one thing stands;xinput1_4.dll does not belong to the Legacy edition"
    "no-hook|.|1|GTA5.exe Skirmora.asi<asi|ScriptHookV.dll, the script hook, is missing;dinput8.dll, the ASI loader, is missing;http://www.dev-c.com/gtav/scripthookv/"
    "hook-in-bin|.|1|GTA5.exe bin/ScriptHookV.dll bin/dinput8.dll Skirmora.asi<asi|ScriptHookV.dll is in bin\\, one folder down;dinput8.dll is in bin\\, one folder down"
    "hook-zip|.|1|GTA5.exe ScriptHookV_1.0.3411.0/bin/ScriptHookV.dll ScriptHookV_1.0.3411.0/bin/dinput8.dll ScriptHookV_1.0.3411.0/readme.txt Skirmora.asi<asi|ScriptHookV.dll is in ScriptHookV_1.0.3411.0\\bin\\, two folders down;move dinput8.dll up from ScriptHookV_1.0.3411.0\\bin\\"
    "asi-txt|.|1|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.asi.txt|Skirmora.asi is named Skirmora.asi.txt;Windows hides the last ending"
    "asi-dll|.|1|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.asi.dll|Skirmora.asi is named Skirmora.asi.dll"
    "dll|.|1|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.dll|Skirmora.asi is named Skirmora.dll;The game reads only Skirmora.asi"
    "asi-in-scripts|.|1|GTA5.exe ScriptHookV.dll dinput8.dll scripts/Skirmora.asi|Skirmora.asi is in scripts\\, one folder down"
    "asi-empty|.|1|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.asi|one thing stands;Skirmora.asi is empty (0 bytes);Copy Skirmora.asi from the zip"
    "asi-text|.|1|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.asi<text|Skirmora.asi is not a program file;a 64-bit Windows DLL"
    "no-asi|.|1|GTA5.exe ScriptHookV.dll dinput8.dll|Skirmora.asi is missing;No Skirmora_config.txt: the built-in values are in force"
    "unzipped|Skirmora-0.1.0|1|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora-0.1.0/Skirmora.asi<asi Skirmora-0.1.0/Skirmora_config.example.txt|This folder is inside the game's folder;Skirmora.asi is in Skirmora-0.1.0\\, one folder down"
    "config-txt-txt|.|1|${game[*]} Skirmora_config.txt.txt<f6|Skirmora_config.txt is named Skirmora_config.txt.txt;Skirmora_config.txt.txt: loads completely;once it has its right name"
    "config-json|.|1|${game[*]} Skirmora_config.json<example|Skirmora_config.txt is named Skirmora_config.json"
    "config-down|.|1|${game[*]} mods/Skirmora_config.txt<example|Skirmora_config.txt is in mods\\, one folder down"
    "config-broken|.|1|${game[*]} Skirmora_config.txt<early|Skirmora_config.txt: the load ended early, at line 1, column 30;\"Factions[0].MaxMembers\" is a text;What was read before it is applied;!Settings in force"
    "config-many|.|0|${game[*]} Skirmora_config.txt<many|Skirmora_config.txt: loads completely;Notes;100 rioters or fewer is safe;!Settings in force"
    "config-notjson|.|1|${game[*]} Skirmora_config.txt<notjson|Skirmora_config.txt: is not JSON text;The built-in values stay in force;!not all of it as you meant"
    "only-config|.|1|Skirmora_config.txt.txt<f6|This is not the game's folder;Steam;Skirmora_config.txt is named Skirmora_config.txt.txt;Copy all the files of Skirmora's zip there (Skirmora.asi, skirmora-sim.exe, Skirmora_config.example.txt"
    "Grand Theft Auto V é|.|1|${game[*]}|letters outside ASCII: é;known to load no .asi file;Program Files (x86)"
    "Enhanced ü|.|0|${enhanced[*]}|Notes;letters outside ASCII: ü;if Skirmora does not load"
    "Program Files (x86)|.|0|${game[*]}|nothing stands in the way;!outside ASCII"
    "logs|.|0|${game[*]} Skirmora_config.txt<f6 $hooked asiloader.log<asiloader-loaded.log Skirmora.log<run|ScriptHookV v1.0.3411.0, game version VER_1_0_3411_0_STEAM; it loaded Skirmora.asi and started it;asiloader.log: it loaded Skirmora.asi;Skirmora.log, of the start on 2000-01-01 at 00:00:00:;  Load at the start: Skirmora_config.txt: loads completely;In force: EnableKey F6;Skirmora was enabled 1 time then;!Load at a press"
    "hook-utf16|.|0|${game[*]} ScriptHookV.log<utf16:ScriptHookV-started.log@2000-01-01T00:05 Skirmora.log<run|it loaded Skirmora.asi and started it;Skirmora.log, of the start on 2000-01-01"
    "hook-utf16-bare|.|0|${game[*]} ScriptHookV.log<utf16bare:ScriptHookV-started.log@2000-01-01T00:05 Skirmora.log<run-off|it loaded Skirmora.asi and started it;Skirmora was never enabled at the game's last start;Press F7 in story mode"
    "fatal-utf16|.|1|${game[*]} ScriptHookV.log<utf16:ScriptHookV-fatal.log|ScriptHookV stopped the game at its last start;FATAL: Unknown game version;(v1.0.3411.0) is older than the game;!The game did not load"
    "fatal-replaced|.|0|${game[*]} ScriptHookV.log<ScriptHookV-fatal.log@2000-01-01|ScriptHookV stopped the game's last start, but has been replaced since;!What to do"
    "fatal-native|.|1|${game[*]} ScriptHookV.log<crlf:ScriptHookV-native.log|FATAL: Can't find native;a mod older than the hook;OldTrainer.asi, CarSpawner.asi;!older than the game"
    "crashed|.|1|${game[*]} ScriptHookV.log<crlf:ScriptHookV-crashed.log asiloader.log<utf8bom:asiloader-failed.log|Skirmora.asi failed in the game;An exception occurred while executing 'Skirmora.asi';game version VER_1_0_3411_0_STEAM;The ASI loader failed to load Skirmora.asi;Legacy edition's loader also fails;on the page you got Skirmora from;!VER_1_0_3274"
    "enhanced-failed|.|1|${enhanced[*]} asiloader.log<asiloader-failed.log|The ASI loader failed to load Skirmora.asi;!Legacy"
    "loader-cut|.|1|${game[*]} asiloader.log<utf16bare:asiloader-cut.log|The game stopped while loading Skirmora.asi;asiloader.log: it ends while loading Skirmora.asi"
    "loader-empty|.|1|${game[*]} asiloader.log<asiloader-empty.log|The ASI loader found no .asi file;asiloader.log: it loaded no .asi file at all"
    "fresh-unzip|.|0|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.asi<asi@2026-01-01 asiloader.log<asiloader-empty.log@yesterday ScriptHookV.log<ScriptHookV-without.log@yesterday|The game has not started since Skirmora.asi came into its folder;start story mode, then run this again;asiloader.log: it loaded no .asi file at all (of a start before Skirmora.asi came)"
    "not-loaded|.|1|${game[*]} ScriptHookV.log<ScriptHookV-without.log@tomorrow_23:00|The game did not load Skirmora.asi at its last start;Skirmora.asi is not in it"
    "no-story-mode|.|0|${game[*]} ScriptHookV.log<ScriptHookV-uninit.log|The game's last start never reached story mode;never started it;not Skirmora's doing;!Skirmora never ran"
    "never-ran|.|1|${game[*]} ScriptHookV.log<ScriptHookV-started.log|Skirmora never ran at the game's last start;loaded Skirmora.asi and started it;ask for help on the page you got Skirmora from"
    "log-earlier|.|1|${game[*]} ScriptHookV.log<ScriptHookV-started.log@2000-01-03T00:05 Skirmora.log<run|Skirmora.log is of an earlier start, on 2000-01-01 at 00:00:00;Skirmora never ran at the game's last start;!Skirmora was enabled"
    "log-elsewhere|.|1|${game[*]} $hooked Skirmora.log<run-elsewhere|Skirmora.log is of another game folder;Skirmora never ran at the game's last start;Skirmora.log: of a start on 2000-01-01 at 00:00:00 in another folder;!Skirmora was enabled"
    "log-old|.|0|${game[*]} $hooked Skirmora.log<run-old|Skirmora.log is of Skirmora 0.0.9, not of the;Skirmora.log: of Skirmora 0.0.9, at a start at 00:00:00;start story mode, then run this again;!Skirmora was enabled;!Skirmora never ran"
    "unreadable-logs|.|0|${game[*]} ScriptHookV.log<huge Skirmora.log<utf16|ScriptHookV.log: not read: it holds bytes that are not text;Skirmora.log: no start of Skirmora in it"
)

# fake_dll VERSION: a 64-bit DLL's headers and a version resource's fixed part, as much as the check reads.
fake_dll() {
    local major minor patch
    IFS=. read -r major minor patch <<<"$1"
    python3 -c '
import struct, sys
major, minor, patch = map(int, sys.argv[1:])
head = b"MZ" + bytes(0x3A) + struct.pack("<I", 0x40) + b"PE\0\0" + struct.pack("<HHIIIHH", 0x8664, 0, 0, 0, 0, 0xF0, 0x2022)
sys.stdout.buffer.write(head + bytes(64) + struct.pack("<IIII", 0xFEEF04BD, 0x10000, major << 16 | minor, patch << 16))
' "$major" "$minor" "$patch"
}

# make_game_folders SOURCE_DIR SKIRMORA_SIM: makes every case's folder in the current folder.
make_game_folders() {
    local source=$1 sim=$2 row folder files file name what when version
    version=$("$sim" --version | cut -d' ' -f2)
    printf '{"presses": []}' >no-press.json
    for row in "${GameFolderCases[@]}"; do
        IFS='|' read -r folder _ _ files _ <<<"$row"
        for file in $files; do
            name=$folder/${file%%<*} what=${file#*<} when=
            [[ $what == *@* ]] && when=${what#*@} what=${what%@*}
            mkdir -p "$(dirname "$name")"
            case $what in
            "$file") : >"$name" ;;
            asi) fake_dll "$version" >"$name" ;;
            text) echo "Skirmora.asi" >"$name" ;;
            example) cp "$source/examples/Skirmora_config.txt" "$name" ;;
            early) printf '{"Factions": [{"MaxMembers": "ten"}]}' >"$name" ;;
            f6) printf '{"EnableKey": "F6"}' >"$name" ;;
            many) printf '{"MaxRioters": 160, "Factions": [{"MaxMembers": 80}, {"MaxMembers": 80}]}' >"$name" ;;
            notjson) printf 'MaxRioters = 5\n' >"$name" ;;
            huge) truncate -s 5G "$name" ;;
            utf16) printf '\xff\xfe[\x001\x00]\x00' >"$name" ;;
            run | run-old) (cd "$folder" && "$sim" run --seconds 2 --log Skirmora.log >/dev/null) ;;
            run-off) (cd "$folder" && "$sim" run --seconds 2 --scenario ../no-press.json --log Skirmora.log >/dev/null) ;;
            run-elsewhere)
                mkdir -p "elsewhere/$folder"
                (cd "elsewhere/$folder" && "$sim" run --seconds 2 --log Skirmora.log >/dev/null)
                cp "elsewhere/$folder/Skirmora.log" "$name"
                ;;
            utf16:*) { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$source/tests/app/check/game-logs/${what#*:}"; } >"$name" ;;
            utf16bare:*) iconv -f UTF-8 -t UTF-16LE "$source/tests/app/check/game-logs/${what#*:}" >"$name" ;;
            utf8bom:*) { printf '\xef\xbb\xbf'; cat "$source/tests/app/check/game-logs/${what#*:}"; } >"$name" ;;
            crlf:*) sed 's/$/\r/' "$source/tests/app/check/game-logs/${what#*:}" >"$name" ;;
            *) cp "$source/tests/app/check/game-logs/$what" "$name" ;;
            esac
            [[ $what == run-old ]] && sed -i '1s/Skirmora [0-9.]* started on [0-9-]*;/Skirmora 0.0.9 started;/' "$name"
            [[ -z $when ]] || touch -d "${when//_/ }" "$name"
        done
    done
}
