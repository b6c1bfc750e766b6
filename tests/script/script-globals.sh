#!/usr/bin/env bash
# The script keeps every global it changes in ScriptState, which ResetScriptState rebuilds whole. Any other
# writable global in the script's library would outlive a reset: this lists them. The two name tables are
# const, built once when the library loads; the lower layers' bindings to their records are set anew by every
# reset.
# Usage: script-globals.sh LIBRARY
set -euo pipefail
own='DW\.ref\.|__odr_asan|__asan'  # the compiler's and the sanitizer's own
found=$(objdump -t "$1" |
    awk -v own="^($own)" '/ O / && $4 ~ /^\.(bss|data|tbss|tdata)/ && $4 !~ /^\.data\.rel\.ro/ && $NF !~ own {print $NF}' |
    c++filt | sed 's/\[abi:cxx11\]//' | sort -u | grep -vxE 'ScriptState|KeyNameTable|ThrowableList|BoundHostState|BoundRiotState|UnboundHostState|UnboundRiotState|ScriptStateBound' || true)
if [[ -n $found ]]; then
    echo "writable globals outside ScriptState (a reset would miss them; move them into ScriptStateRecord):"
    echo "$found"
    exit 1
fi
echo "every writable global of the script is in ScriptState"
