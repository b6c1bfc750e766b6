#!/usr/bin/env bash
# The players' zip: exactly the DLL and the checker as built, the example config, the install guide and the
# licence, in one folder; unzipped, the checker double-clicked beside the config finds it complete.
# Usage: package-test.sh REPO_ROOT SKIRMORA_SIM
set -euo pipefail
root=$1
sim=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
zip=$("$root/scripts/package" "$out" | tail -1)
python3 - "$zip" "$root" "$out" <<'PY'
import sys, zipfile
zip_path, root, out = sys.argv[1:]
version = zip_path.rsplit("Skirmora-", 1)[1][:-len(".zip")]
folder = f"Skirmora-{version}/"
with zipfile.ZipFile(zip_path) as z:
    names = z.namelist()
    want = [folder + n for n in ("Skirmora.asi", "skirmora-sim.exe", "Skirmora_config.txt", "INSTALL.txt",
                                 "LICENSE.txt")]
    assert names == want, f"zip holds {names}, expected {want}"
    for binary in ("Skirmora.asi", "skirmora-sim.exe"):
        assert z.read(folder + binary) == open(f"{root}/build/windows/{binary}", "rb").read(), \
            f"the zipped {binary} differs from the built one"
    guide = z.read(folder + "INSTALL.txt").decode("ascii")
    for needed in ("ScriptHookV", "dinput8.dll", "GTA5.exe", "F7", "every time you press", "When nothing happens",
                   "drop it onto skirmora-sim.exe", "double-click it", "press Enter", "LICENSE.txt"):
        assert needed in guide, f"the install guide does not mention {needed!r}"
    assert b"MIT License" in z.read(folder + "LICENSE.txt"), "the licence is not the MIT License"
    z.extractall(out)
    config = z.read(folder + "Skirmora_config.txt")
    assert b"\r\n" in config and b"\n" not in config.replace(b"\r\n", b""), "the config has Windows line ends"
    open(f"{out}/Skirmora_config.txt", "wb").write(config)
print("zip ok:", ", ".join(names))
PY
# The config as players get it loads completely, every key applied: on Linux, and with the zipped checker
# started without arguments in the unzipped folder, as a double-click starts it.
"$sim" check "$out/Skirmora_config.txt"
cd "$out"/Skirmora-*/
# Into a file, not a pipe: Wine's services, when this starts them, would hold a pipe open as long as they live.
WINEPREFIX=$root/build/windows/wine-prefix WINEDEBUG=-all timeout 120 wine skirmora-sim.exe </dev/null >"$out/report"
sed -n 1p "$out/report" | grep "Skirmora_config.txt: loads completely, every key applied (exit status 0)"
