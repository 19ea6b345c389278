#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it: on a scratch copy of the demo drive,
# or with --drive DIR on a real frame drive.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/ensure-packages.sh
# qt6-wayland: without it Qt cannot open a window on a Wayland desktop.
ensure_packages "${DPF_BUILD_PACKAGES[@]}" qt6-wayland

drive=""
if [ $# -gt 0 ]; then
    if [ "$1" = "--drive" ] && [ $# -eq 2 ]; then
        drive="$2"
    else
        echo "usage: ./run.sh [--drive DIR]" >&2
        exit 2
    fi
fi

build=build/release
# Only the editor: the benchmarks made a first start take minutes.
cmake --preset release > /dev/null
cmake --build "$build" -j"$(nproc)"

if [ -z "$drive" ]; then
    # Copied once, so that edits made in the editor are still there at the next start.
    drive="$build/demo-drive"
    [ -d "$drive" ] || cp -r examples/demo-drive "$drive"
    echo "Editing the demo drive at $drive"
fi
exec "$build/dpf-settings" --drive "$drive"
