#!/usr/bin/env bash
# The players' zip: exactly the DLL and the checker as built, the example config under a name that no update
# can overwrite a player's own config with, the install guide, the licence, the config editor's page and the
# config's schema, all at the top of the zip.
# Unzipped into a game folder with ScriptHookV, the zipped checker started there as a double-click starts it
# finds nothing in the way.
# Usage: package-test.sh REPO_ROOT SKIRMORA_SIM
set -euo pipefail
root=$1
sim=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
zip=$("$root/scripts/package" "$out" | tail -1)
game=$out/Grand\ Theft\ Auto\ V
mkdir "$game"
python3 - "$zip" "$root" "$game" <<'PY'
import json, subprocess, sys, time, zipfile
zip_path, root, game = sys.argv[1:]
with zipfile.ZipFile(zip_path) as z:
    names = z.namelist()
    want = ["Skirmora-INSTALL.txt", "Skirmora.asi", "skirmora-sim.exe", "Skirmora_config.example.txt",
            "Skirmora-LICENSE.txt", "Skirmora-config-editor.html", "Skirmora_config.schema.json"]
    assert names == want, f"zip holds {names}, expected {want}"
    commit = time.gmtime(int(subprocess.check_output(["git", "-C", root, "log", "-1", "--format=%ct"])))
    assert all(i.date_time[:5] == commit[:5] for i in z.infolist()), "the files are not dated by the last commit"
    for built in ("windows/Skirmora.asi", "windows/skirmora-sim.exe", "editor/Skirmora-config-editor.html"):
        assert z.read(built.split("/")[1]) == open(f"{root}/build/{built}", "rb").read(), \
            f"the zipped {built} differs from the built one"
    assert "EnableKey" in json.loads(z.read("Skirmora_config.schema.json"))["properties"], "the schema lacks the keys"
    guide = z.read("Skirmora-INSTALL.txt").decode("ascii")
    first = guide.split("\r\n\r\n")[1]
    for needed in ("Copy the files of this zip", "the game's folder", "GTA5.exe", "skirmora-sim.exe"):
        assert needed in first, f"the guide's first lines do not say {needed!r}: {first}"
    for needed in ("http://www.dev-c.com/gtav/scripthookv/", "dinput8.dll", "xinput1_4.dll", "GTA5_Enhanced.exe",
                   "Skirmora_config.example.txt", "never overwrites", "Skirmora.log", "ScriptHookV.log",
                   "double-click", "drop it onto skirmora-sim.exe", "Skirmora-config-editor.html", "press Enter", "Skirmora-LICENSE.txt"):
        assert needed in guide, f"the install guide does not mention {needed!r}"
    assert b"MIT License" in z.read("Skirmora-LICENSE.txt"), "the licence is not the MIT License"
    config = z.read("Skirmora_config.example.txt")
    assert b"\r\n" in config and b"\n" not in config.replace(b"\r\n", b""), "the config has Windows line ends"
    z.extractall(game)
print("zip ok:", ", ".join(names))
PY
# The example as players get it loads completely, every key applied.
"$sim" check "$game/Skirmora_config.example.txt" | head -1 | grep -q "loads completely, every key applied"
# Into a game folder with ScriptHookV; the zipped checker started without arguments, as a double-click starts it.
touch "$game/GTA5.exe" "$game/ScriptHookV.dll" "$game/dinput8.dll"
cd "$game"
# Into a file, not a pipe: Wine's services, when this starts them, would hold a pipe open as long as they live.
WINEPREFIX=$root/build/windows/wine-prefix WINEDEBUG=-all timeout 120 wine skirmora-sim.exe </dev/null >"$out/report"
grep -q "nothing stands in the way of the riot (exit status 0)" "$out/report" ||
    { cat "$out/report"; exit 1; }
