# Fake game folders, one for each case the install check knows, with what it must say of each. Sourced by
# doctor-test.sh (skirmora-sim on Linux) and tests/windows/exe-test.sh (skirmora-sim.exe under Wine, which must
# say the same, byte for byte).
# A row: FOLDER|EXAMINED (within FOLDER)|STATUS|FILES|SAYS. FILES are made empty, a "sub/" part making the
# folder; NAME<WHAT fills one: example (the players' example config), early (a config whose load ends early),
# f6 (a config of one key), huge (5 GiB of zero bytes, sparse), utf16 (UTF-16 text), or a file of game-logs/.
# SAYS: fragments the report holds, ;-separated; one starting with ! must not be in it.
game=(GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.asi)
enhanced=(GTA5_Enhanced.exe ScriptHookV.dll xinput1_4.dll Skirmora.asi)
GameFolderCases=(
    "legacy|.|0|${game[*]} Skirmora_config.txt<f6|nothing stands in the way of the riot;GTA5.exe: the game, Legacy edition;dinput8.dll: the ASI loader;Skirmora_config.txt: loads completely;press F6."
    "enhanced|.|0|${enhanced[*]} Skirmora_config.example.txt|the game, Enhanced edition;xinput1_4.dll: the ASI loader;copy Skirmora_config.example.txt to Skirmora_config.txt;press F7.;!What to do"
    "enhanced-dinput8|.|1|GTA5_Enhanced.exe ScriptHookV.dll dinput8.dll Skirmora.asi|2 things stand;xinput1_4.dll, the ASI loader, is missing;dinput8.dll does not belong to the Enhanced edition;known to crash the Enhanced edition"
    "legacy-xinput|.|1|${game[*]} xinput1_4.dll|one thing stands;xinput1_4.dll does not belong to the Legacy edition"
    "no-hook|.|1|GTA5.exe Skirmora.asi|ScriptHookV.dll, the script hook, is missing;dinput8.dll, the ASI loader, is missing;http://www.dev-c.com/gtav/scripthookv/"
    "hook-in-bin|.|1|GTA5.exe bin/ScriptHookV.dll bin/dinput8.dll Skirmora.asi|ScriptHookV.dll is in bin\\, one folder down;dinput8.dll is in bin\\, one folder down"
    "asi-txt|.|1|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.asi.txt|Skirmora.asi is named Skirmora.asi.txt;Windows hides the last ending"
    "asi-dll|.|1|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.asi.dll|Skirmora.asi is named Skirmora.asi.dll"
    "dll|.|1|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora.dll|Skirmora.asi is named Skirmora.dll;The game reads only Skirmora.asi"
    "asi-in-scripts|.|1|GTA5.exe ScriptHookV.dll dinput8.dll scripts/Skirmora.asi|Skirmora.asi is in scripts\\, one folder down"
    "no-asi|.|1|GTA5.exe ScriptHookV.dll dinput8.dll|Skirmora.asi is missing;No Skirmora_config.txt: the built-in values are in force"
    "unzipped|Skirmora-0.1.0|1|GTA5.exe ScriptHookV.dll dinput8.dll Skirmora-0.1.0/Skirmora.asi Skirmora-0.1.0/Skirmora_config.example.txt|This folder is inside the game's folder;Skirmora.asi is in Skirmora-0.1.0\\, one folder down"
    "config-txt-txt|.|1|${game[*]} Skirmora_config.txt.txt<f6|Skirmora_config.txt is named Skirmora_config.txt.txt;Skirmora_config.txt.txt: loads completely;once it has its right name"
    "config-json|.|1|${game[*]} Skirmora_config.json<example|Skirmora_config.txt is named Skirmora_config.json"
    "config-down|.|1|${game[*]} mods/Skirmora_config.txt<example|Skirmora_config.txt is in mods\\, one folder down"
    "config-broken|.|1|${game[*]} Skirmora_config.txt<early|Skirmora_config.txt: the load ended early, at line 1, column 30;\"Factions[0].MaxMembers\" is a text;What was read before it is applied;!Settings in force"
    "only-config|.|1|Skirmora_config.txt.txt<f6|This is not the game's folder;Steam;Skirmora_config.txt is named Skirmora_config.txt.txt"
    "Grand Theft Auto V é|.|1|${game[*]}|letters outside ASCII: é;known to load no .asi file"
    "Enhanced ü|.|0|${enhanced[*]}|Notes;letters outside ASCII: ü;if Skirmora does not load"
    "logs|.|0|${game[*]} ScriptHookV.log<ScriptHookV-started.log Skirmora.log<Skirmora.log|ScriptHookV v1.0.3411.0, game version VER_1_0_3411_0_STEAM; it loaded Skirmora.asi and started it;Skirmora.log, of the start at 20:11:51:;  Load at the start: Skirmora_config.txt: the load ended early, at line 6, column 24;\"Factions[1].MaxMembers\" is a text;In force: EnableKey F6;Skirmora was enabled 1 time then;!Load at a press"
    "crashed|.|1|${game[*]} ScriptHookV.log<ScriptHookV-crashed.log asiloader.log<asiloader-failed.log Skirmora.log<Skirmora.log|Skirmora.asi failed in the game;An exception occurred while executing 'Skirmora.asi';game version VER_1_0_3411_0_STEAM;The ASI loader failed to load Skirmora.asi;!VER_1_0_3274"
    "fatal|.|1|${game[*]} ScriptHookV.log<ScriptHookV-fatal.log|ScriptHookV stopped at the game's last start;FATAL: Unknown game version;!The game did not load"
    "not-loaded|.|1|${game[*]} ScriptHookV.log<ScriptHookV-without.log|The game did not load Skirmora.asi at its last start;Skirmora.asi is not in it"
    "never-ran|.|1|${game[*]} ScriptHookV.log<ScriptHookV-started.log|Skirmora never ran at the game's last start;loaded Skirmora.asi and started it"
    "unreadable-logs|.|0|${game[*]} ScriptHookV.log<huge Skirmora.log<utf16|ScriptHookV.log: not read: it holds bytes that are not text;Skirmora.log: not read"
)

# make_game_folders SOURCE_DIR: makes every case's folder in the current folder.
make_game_folders() {
    local source=$1 row folder files file name what
    for row in "${GameFolderCases[@]}"; do
        IFS='|' read -r folder _ _ files _ <<<"$row"
        for file in $files; do
            name=$folder/${file%%<*} what=${file#*<}
            mkdir -p "$(dirname "$name")"
            case $what in
            "$file") : >"$name" ;;
            example) cp "$source/examples/Skirmora_config.txt" "$name" ;;
            early) printf '{"Factions": [{"MaxMembers": "ten"}]}' >"$name" ;;
            f6) printf '{"EnableKey": "F6"}' >"$name" ;;
            huge) truncate -s 5G "$name" ;;
            utf16) printf '\xff\xfe[\x001\x00]\x00' >"$name" ;;
            *) cp "$source/tests/app/check/game-logs/$what" "$name" ;;
            esac
        done
    done
}
