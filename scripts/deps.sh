#!/usr/bin/env bash
# Installs what building, running and testing Marevane needs on Debian 12,
# skipping the packages that are already there.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libqt6opengl6-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
    qt6-connectivity-dev libqt6sql6-sqlite libsqlite3-dev
    libpugixml-dev libminizip-dev zlib1g-dev
    xvfb xauth fonts-liberation2 fonts-roboto-unhinted
    # The locale sources from which the decimal-comma tests build fr_FR.
    locales
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
