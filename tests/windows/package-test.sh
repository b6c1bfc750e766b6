#!/usr/bin/env bash
# The players' zip: exactly the DLL as built, the example config and the install guide, in one folder.
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
    want = [folder + n for n in ("Skirmora.asi", "Skirmora_config.txt", "INSTALL.txt")]
    assert names == want, f"zip holds {names}, expected {want}"
    assert z.read(folder + "Skirmora.asi") == open(f"{root}/build/windows/Skirmora.asi", "rb").read(), \
        "the zipped DLL differs from the built one"
    guide = z.read(folder + "INSTALL.txt").decode("ascii")
    for needed in ("ScriptHookV", "dinput8.dll", "GTA5.exe", "F7", "every time you press", "When nothing happens"):
        assert needed in guide, f"the install guide does not mention {needed!r}"
    config = z.read(folder + "Skirmora_config.txt")
    assert b"\r\n" in config and b"\n" not in config.replace(b"\r\n", b""), "the config has Windows line ends"
    open(f"{out}/Skirmora_config.txt", "wb").write(config)
print("zip ok:", ", ".join(names))
PY
# The config as players get it loads completely, every key applied.
"$sim" check "$out/Skirmora_config.txt"
