#!/usr/bin/env bash
# Builds a release build and runs every benchmark under bench/ on Qt's offscreen platform.
# Record what it prints, with the machine it ran on, in docs/performance.md.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${DPF_BUILD_PACKAGES[@]}" time xvfb xdotool
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDPF_BUILD_TESTS=OFF -DDPF_BUILD_BENCH=ON > /dev/null
cmake --build "$build" -j"$(nproc)"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
for bench in "$build"/*Bench; do
    echo "== $(basename "$bench")"
    QT_QPA_PLATFORM=offscreen /usr/bin/time -f "peak memory: %M KiB" "$bench"
done
echo "== start-up"
bench/startup-bench.sh "$build/dpf-settings" "$build/MinimalDialog" examples/demo-drive
