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

build=build/test
cmake --preset test
cmake --build "$build" -j"$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
