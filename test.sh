#!/usr/bin/env bash
# Installs what is missing, builds the test build (AddressSanitizer, UndefinedBehaviorSanitizer,
# warnings as errors) and runs every test under CTest on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/ensure-packages.sh
# GoogleTest for the unit tests; an X server, xdotool, xwd and ImageMagick for the end-to-end runs;
# for the Debian package: dpkg-dev and file (its dependencies from the program's libraries), and the
# validators its test runs (desktop-file-utils, appstream, lintian); the image plugins a desktop has,
# which the start-up must not load; clang-format for the sources' format; NetworkManager and a D-Bus
# daemon, which the tests of "Use This PC's Password" start in a sandbox of their own.
ensure_packages "${DPF_BUILD_PACKAGES[@]}" "${DPF_BENCH_PACKAGES[@]}" libgtest-dev xvfb xdotool x11-apps imagemagick \
    qt6-image-formats-plugins libqt6svg6 clang-format \
    dpkg-dev file desktop-file-utils appstream lintian network-manager dbus-daemon

# The one thread the program starts (the system bus connection of "Use This PC's Password") under
# ThreadSanitizer, in the tests that run it; then every test of the sanitized build.
cmake --preset tsan > /dev/null
cmake --build build/tsan -j"$(nproc)" --target tests_platform tests_pages > /dev/null
tsan_run() {
    echo "ThreadSanitizer: $1 $2"
    QT_QPA_PLATFORM=offscreen DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/dpf-settings-tests/system_bus_socket \
        TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp die_after_fork=0 halt_on_error=1" \
        "build/tsan/tests/$1" --gtest_filter="$2" --gtest_brief=1 2>&1 | grep -v 'propagateSizeHints' | tail -n 2
    [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "ThreadSanitizer run of $1 failed"; exit 1; }
}
tsan_run tests_platform 'SavedWifiConnectionsTest.*'
tsan_run tests_pages 'NetworkManager/SavedKeyTest.*:SavedKeyButton.*'

build=build/test
cmake --preset test
cmake --build "$build" -j"$(nproc)"
cd "$build"
# One line per test, without CTest's start lines and the dots that pad every name to the longest.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" |
    sed -E '/^ +Start +[0-9]+: /d; s/Test +#[0-9]+: //; s/ \.+ */ /'
