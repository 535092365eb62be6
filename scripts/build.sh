#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures (again when options are given) and builds
# into DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -G Ninja "$@"
elif [ $# -gt 0 ]; then
    # Options given now win over those of an older configuration of the same folder.
    cmake -S . -B "$dir" "$@" >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"
