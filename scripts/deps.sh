#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when any is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang-format ccache
    qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libgl-dev
    libqcustomplot-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-noto-cjk fonts-dejavu-core
    fonts-liberation
    python3 python3-xlrd python3-openpyxl
    libxlsxwriter-dev qt6-svg-dev poppler-utils
    clang-14 libclang-rt-14-dev
    librsvg2-bin desktop-file-utils appstream dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
