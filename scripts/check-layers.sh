#!/usr/bin/env bash
# The library's folders point one way. Within core/, lowest first:
#   core/ itself  export macro, logging, saturating arithmetic; includes no folder below
#   files         regular files, zip, JSON, saves; core/ only
#   styles        style records and state styles; files
#   content       the content door (rich text, tooltips, SVG and image bounds); files
#   languages     language files and tables; files
#   resources     themes, skins, decoded images, icon files; the four above
#   controlbase   the control base and the page keeping of its writing; all but pages
#   pages         start-up, the control registry, the page loader; all of core
# core/ includes no header of the folders built on it, and a control folder none of
# lib/ (start-up and loaders sit on top).
# Usage: check-layers.sh [source root]   (the repository by default)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

status=0
checked=0
check() {   # check <folder> <folders it must not include from...>
    local folder=$1
    shift
    checked=$((checked + 1))
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
above_core="controls containers views charts ribbon lib app"
core_folders="files styles content languages resources controlbase pages"
may_use() {   # may_use <core folder> <core folders it may include from...>: checks the rest
    local folder=core/$1
    shift
    local others=()
    for f in $core_folders; do
        [ "core/$f" = "$folder" ] && continue
        [[ " $* " == *" $f "* ]] || others+=("core/$f")
    done
    # shellcheck disable=SC2086
    check "$folder" "${others[@]}" $above_core
}
check core $(printf 'core/%s ' $core_folders) $above_core
may_use files
may_use styles files
may_use content files
may_use languages files
may_use resources files styles content languages
may_use controlbase files styles content languages resources
may_use pages files styles content languages resources controlbase
for folder in controls containers views charts ribbon; do
    check "$folder" lib app
done
[ $status -eq 0 ] && echo "layers: 1 passed, 0 failed ($checked folders)"
exit $status
