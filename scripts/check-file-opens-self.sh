#!/usr/bin/env bash
# The file-opens check must fail on an object holding forbidden calls and name each:
# tests/fileopens/planted.cpp plants one in each function named planted..., in a copy
# of a library file whose own allowed calls must still pass.
# Usage: check-file-opens-self.sh <build folder> <planted object> [nm] [objdump]
set -uo pipefail
build=${1:?usage: check-file-opens-self.sh <build folder> <planted object> [nm] [objdump]}
object=${2:?planted object}
nm=${3:-nm}
objdump=${4:-objdump}
here=$(dirname "$0")
report=$(VYR_OPENS_OBJECTS=$(dirname "$object") bash "$here/check-file-opens.sh" "$build" "$nm" "$objdump" 2>&1)
if [ $? -eq 0 ]; then
    echo "file opens self-test: the check passed the planted calls" >&2
    exit 1
fi
status=0
planted=0
while IFS= read -r function; do
    planted=$((planted + 1))
    if ! grep -q ": $function calls " <<< "$report"; then
        echo "file opens self-test: the check missed the call in $function" >&2
        status=1
    fi
done < <("$nm" -C --defined-only "$object" | sed -n 's/^[0-9a-f]* T \(planted[A-Za-z]*\)(.*/\1/p')
if grep -q "VYRQTextDocument::setContent calls\|VYRQTextDocument::VYRQTextDocument calls" <<< "$report"; then
    echo "file opens self-test: an allowed call was reported" >&2
    status=1
fi
if [ $planted -lt 30 ]; then
    echo "file opens self-test: only $planted planted calls found" >&2
    status=1
fi
[ $status -eq 0 ] && echo "file opens self-test: $planted planted calls, each named"
exit $status
