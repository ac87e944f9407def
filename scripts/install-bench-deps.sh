#!/usr/bin/env bash
# Installs, as root, what the benchmarks need beyond scripts/install-deps.sh: Qt Charts,
# the yardstick of bench_charts, and the icon themes (Papirus, Breeze, Adwaita, hicolor)
# whose SVG files bench_theme_images loads. Neither the library nor the tests use them.
set -euo pipefail

bash "$(dirname "$0")/install-deps.sh"

packages=(libqt5charts5-dev papirus-icon-theme breeze-icon-theme adwaita-icon-theme hicolor-icon-theme)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "install-bench-deps: missing ${missing[*]}; run as root" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
