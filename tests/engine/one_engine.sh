#!/usr/bin/env bash
# one_engine.sh OBJECT_LIST BINARY...
# OBJECT_LIST names the engine's object files, one a line.
# Fails when a program or library other than the engine's defines a function or
# variable of the engine's own: a second copy of its code and types would live
# in the process beside the shared library's.
set -euo pipefail
mapfile -t objects < "$1"
shift
# Strong definitions only: inline functions and templates from the headers may
# be instantiated by whoever uses them.
engine=$(nm --defined-only "${objects[@]}" 2>/dev/null | awk 'NF == 3 && $2 ~ /^[TDBR]$/ { print $3 }' | sort -u)
[ -n "$engine" ] || { echo "no symbols in the engine's objects" >&2; exit 1; }
status=0
for b in "$@"; do
    copied=$(comm -12 <(echo "$engine") <(nm --defined-only "$b" | awk 'NF == 3 { print $3 }' | sort -u))
    if [ -n "$copied" ]; then
        echo "$(basename "$b") defines $(wc -l <<<"$copied") of the engine's symbols, e.g.:" >&2
        head -5 <<<"$copied" | c++filt >&2
        status=1
    fi
done
exit "$status"
