#!/usr/bin/env bash
# Installs whatever is missing, builds the monitor and starts it. Without a display it
# runs under Xvfb and takes a screenshot instead (--screenshot PATH, by default
# build-run/tarnex.png), then prints the PNG's path. Other arguments go to tarnex
# (--size WxH, --page plant, --drawer, --zh, --screenshot PATH).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${BUILD_DIR:-build-run}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYR_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" --target tarnex

args=("$@")
shot=""
for ((i = 0; i < ${#args[@]}; i++)); do
    if [ "${args[$i]}" = "--screenshot" ] && [ $((i + 1)) -lt ${#args[@]} ]; then
        shot=${args[$((i + 1))]}
    fi
done

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "$shot" ]; then
    exec "$build/app/tarnex" "${args[@]}"
fi

if [ -z "$shot" ]; then
    shot="$build/tarnex.png"
    args+=(--screenshot "$shot")
fi
if [ -n "${DISPLAY:-}" ]; then
    "$build/app/tarnex" "${args[@]}"
else
    xvfb-run -a -s "-screen 0 1920x1080x24" "$build/app/tarnex" "${args[@]}"
fi
echo "screenshot: $(realpath "$shot")"
