#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Tunesmith need.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
    libfluidsynth-dev fluid-soundfont-gm
    libbenchmark-dev
    clang-14 libclang-rt-14-dev clang-format
    xvfb xauth xdotool imagemagick x11-utils
    fonts-dejavu-core fonts-urw-base35 qt6-gtk-platformtheme
    dpkg-dev desktop-file-utils appstream librsvg2-bin
    python3
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "All packages are installed."
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
