#!/usr/bin/env bash
# The library's folders point one way: core/ includes no header of the folders
# built on it, and a control folder none of lib/ (start-up and loaders sit on top).
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
check() {   # check <folder> <folders it must not include from...>
    local folder=$1
    shift
    for upper in "$@"; do
        [ -d "$upper" ] || continue
        for header in "$upper"/*.h; do
            [ -e "$header" ] || continue
            name=$(basename "$header")
            if grep -lE "#include [\"<]$name[\">]" "$folder"/*.h "$folder"/*.cpp 2>/dev/null; then
                echo "layering: $folder includes $upper/$name" >&2
                status=1
            fi
        done
    done
}
check core controls containers views charts ribbon lib app
for folder in controls containers views charts ribbon; do
    check "$folder" lib app
done
[ $status -eq 0 ] && echo "layers: 1 passed, 0 failed"
exit $status
