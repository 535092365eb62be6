#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and UBSan,
# runs every test through CTest, then gives each fuzz target a short bounded run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Qt's own libraries keep a few allocations for the process' life.
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
scripts/build.sh build/test -DCMAKE_BUILD_TYPE=Debug -DFD_SANITIZE=ON -DFD_BUILD_BENCH=OFF
(cd build/test && ctest --output-on-failure -j "$(nproc)")
scripts/fuzz.sh "${FD_FUZZ_SECONDS:-20}"
