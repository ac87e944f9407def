#!/usr/bin/env bash
# Installs, as root, whatever the build, the tests and the application need and the
# machine lacks. Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
    qtbase5-dev libqt5svg5-dev libqt5opengl5-dev qttools5-dev
    libjsoncpp-dev libminizip-dev zlib1g-dev
    xvfb xauth fonts-wqy-microhei x11-xserver-utils libxcb-xtest0-dev xserver-xephyr openbox
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing ${missing[*]}; run as root" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
