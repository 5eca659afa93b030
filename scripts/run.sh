#!/usr/bin/env bash
# Installs what is missing, builds Marevane and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAREVANE_BUILD_TESTS=OFF
cmake --build build/release --target Marevane

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display to show the window on. Start it under a virtual one with:"
    echo "  xvfb-run -a build/release/bin/Marevane $*"
    exit 1
fi
exec build/release/bin/Marevane "$@"
