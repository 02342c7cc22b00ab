#!/usr/bin/env bash
# Installs the Debian packages Ambrel needs to build, test and take screenshots,
# but only those that are missing, so a second run costs nothing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth imagemagick
    openbox xdotool x11-utils
    libxcb1-dev
    adwaita-icon-theme
    python3 desktop-file-utils
    libtag1-dev zlib1g-dev python3-mutagen
    dpkg-dev lintian file
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
