#!/usr/bin/env bash
# Renders the editor's windows under Qt's offscreen platform into docs/screenshots/, from the
# test build (run ./test.sh once first): every page at the desktop's font (page-*.png), at a
# 13-point font (page-*-13pt.png) and at QT_SCALE_FACTOR=2 (page-*-scale2.png), the whole sheet,
# the card chooser, the text entry window, and a network page offering "Use This PC's Password"
# (which needs NetworkManager installed: the test runs one of its own), and a refused value marked
# on its page. Open the pictures and look at them.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$PWD/docs/screenshots"
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen DPF_SCREENSHOT_DIR="$out"
build/test/tests/tests_app --gtest_filter='Startup.DemoDrive*:CardChooser.ListsEveryCard*'
build/test/tests/tests_ui --gtest_filter='DesktopFonts/FontSizeTest.*:TextEntryDlg.*'
build/test/tests/tests_pages --gtest_filter='SavedKeyButton.*:ValueChecks.StoredBad*'
# Scale 2 on a 1280 x 1024 screen (640 x 512 in the window's own units): offscreen's own screen
# is 800 x 800.
screen=$(mktemp)
trap 'rm -f "$screen"' EXIT
echo '{"screens": [{"name": "sxga", "x": 0, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96}]}' > "$screen"
QT_QPA_PLATFORM="offscreen:configfile=$screen" QT_SCALE_FACTOR=2 DPF_SCREENSHOT_SUFFIX=-scale2 \
    build/test/tests/tests_ui --gtest_filter='DesktopFonts/FontSizeTest.*/Default'
QT_QPA_PLATFORM="offscreen:configfile=$screen" QT_SCALE_FACTOR=2 DPF_SCREENSHOT_SUFFIX=-scale2 \
    build/test/tests/tests_pages --gtest_filter='SavedKeyButton.*'
ls -l "$out"
