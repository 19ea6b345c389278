#!/usr/bin/env bash
# Builds a release build and runs every benchmark under bench/ on Qt's offscreen platform.
# Record what it prints, with the machine it ran on, in docs/performance.md.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
# The start-up is measured as on a desktop: with the SVG and image format plugins installed and an
# accessibility bus running, which both change what Qt loads at start-up; and beside it with
# NetworkManager running (on a bus of its own, see bench/network-manager.sh) and without a system bus.
ensure_packages "${DPF_BUILD_PACKAGES[@]}" "${DPF_BENCH_PACKAGES[@]}" time xvfb xdotool libqt6svg6 qt6-image-formats-plugins at-spi2-core dbus \
    network-manager dbus-daemon dbus-bin
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDPF_BUILD_TESTS=OFF -DDPF_BUILD_BENCH=ON > /dev/null
cmake --build "$build" -j"$(nproc)"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
for bench in "$build"/*Bench; do
    echo "== $(basename "$bench")"
    QT_QPA_PLATFORM=offscreen /usr/bin/time -f "peak memory: %M KiB" -o "$build/peak" "$bench"
    cat "$build/peak"
    # The list pages' benchmark holds the heavy card with both its list pages open.
    if [ "$(basename "$bench")" = PageBench ]; then
        awk '{ printf "target: peak memory on the heavy card at most 150 MB: %s\n", $3 <= 150 * 1024 ? "met" : "NOT met" }' "$build/peak"
    fi
done
echo "== heavy card"
bench/heavy-bench.sh "$build/dpf-settings" "$build/MinimalDialog" "$build/PageBench" examples/demo-drive
echo "== start-up, with an accessibility bus"
dbus-run-session -- bash -c '/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    sleep 1
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 bench/startup-bench.sh "$0/dpf-settings" "$0/MinimalDialog" examples/demo-drive' "$build"
echo "== start-up, without one"
bench/startup-bench.sh "$build/dpf-settings" "$build/MinimalDialog" examples/demo-drive
