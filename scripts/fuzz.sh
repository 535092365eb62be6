#!/usr/bin/env bash
# fuzz.sh SECONDS: builds the libFuzzer targets with clang and runs each for at
# most SECONDS, starting from its corpus under tests/fuzz-corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-20}
CC=clang CXX=clang++ scripts/build.sh build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFD_FUZZ=ON
shopt -s nullglob
for t in build/fuzz/fuzz/fuzz_*; do
    [ -x "$t" ] || continue
    name=$(basename "$t")
    seeds=tests/fuzz-corpus/${name#fuzz_}
    work=build/fuzz/corpus-run/$name
    mkdir -p "$work"
    echo "== $name for ${secs}s"
    args=("$work")
    [ -d "$seeds" ] && args+=("$seeds")
    "$t" -max_total_time="$secs" -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 "${args[@]}"
done
