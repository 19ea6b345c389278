#!/usr/bin/env bash
# Renders the editor's windows under Qt's offscreen platform into docs/screenshots/, from the
# test build (run ./test.sh once first). Open the pictures and look at them.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$PWD/docs/screenshots"
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen DPF_SCREENSHOT_DIR="$out"
build/test/tests/tests_app --gtest_filter='Startup.DemoDrive*:CardChooser.ListsEveryCard*'
build/test/tests/tests_pages --gtest_filter='PageLayout.*'
ls -l "$out"
