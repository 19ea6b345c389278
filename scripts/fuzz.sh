#!/usr/bin/env bash
# Builds a fuzz target with clang and libFuzzer (AddressSanitizer and UndefinedBehaviorSanitizer on)
# and runs a campaign over its seed corpus.
#   scripts/fuzz.sh [SECONDS] [WORKERS] [TARGET]   default: 600 seconds, 1 worker, startup
# TARGET is startup (tests/fuzz/corpus) or nesting (the nesting guard against the XML reader,
# tests/fuzz/nesting-corpus).
# New inputs collect in build/fuzz/corpus (corpus-nesting for nesting); findings (crash-*, leak-*, timeout-*) in build/fuzz/findings.
# Copy every finding into tests/fuzz/corpus as a regression input once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${DPF_BUILD_PACKAGES[@]}" clang-14 libclang-rt-14-dev
seconds="${1:-600}"
workers="${2:-1}"
target="${3:-startup}"
seeds=tests/fuzz/corpus
[ "$target" = nesting ] && seeds=tests/fuzz/nesting-corpus
build=build/fuzz
cmake --preset fuzz > /dev/null
cmake --build "$build" -j"$(nproc)" --target "${target}_fuzzer"
corpus=corpus; [ "$target" = startup ] || corpus="corpus-$target"
mkdir -p "$build/$corpus" "$build/findings"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# From the build folder, where libFuzzer leaves its fuzz-N.log files.
root="$PWD"
cd "$build"
"./${target}_fuzzer" -max_total_time="$seconds" -workers="$workers" -jobs="$workers" \
    -timeout=20 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix=findings/ "$corpus" "$root/$seeds"
