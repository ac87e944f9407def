#!/usr/bin/env bash
# The layers check must fail on includes that point against the order and name each:
# the files under the planted folder, laid over a copy of the library's folders, hold
# them, each with an "// expect: <the check's report>" line; "// allowed:" lines name
# includes the order permits, which must not be reported.
# Usage: check-layers-self.sh <planted folder>
set -uo pipefail
planted=${1:?usage: check-layers-self.sh <planted folder>}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
for folder in core controls containers views charts ribbon lib app; do
    [ -d "$root/$folder" ] && cp -r "$root/$folder" "$copy/"
done
cp -r "$planted/." "$copy/"

report=$(bash "$here/check-layers.sh" "$copy" 2>&1)
if [ $? -eq 0 ]; then
    echo "layers self-test: the check passed the planted includes" >&2
    exit 1
fi
status=0
expected=0
while IFS= read -r line; do
    expected=$((expected + 1))
    if ! grep -qxF "layering: $line" <<< "$report"; then
        echo "layers self-test: the check missed \"$line\"" >&2
        status=1
    fi
done < <(grep -rhoP '^// expect: \K.*' "$planted")
while IFS= read -r line; do
    if grep -qxF "layering: $line" <<< "$report"; then
        echo "layers self-test: an allowed include was reported: \"$line\"" >&2
        status=1
    fi
done < <(grep -rhoP '^// allowed: \K.*' "$planted")
reported=$(grep -c '^layering: ' <<< "$report")
if [ "$reported" -ne "$expected" ]; then
    echo "layers self-test: $reported includes reported, $expected planted:" >&2
    grep '^layering: ' <<< "$report" >&2
    status=1
fi
[ $status -eq 0 ] && echo "layers self-test: $expected planted includes, each named"
exit $status
