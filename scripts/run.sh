#!/usr/bin/env bash
# Installs what is missing, builds, starts a local reference server (with demo
# forms, in the data folder) and then the designer, connected to it by default.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFD_BUILD_TESTS=OFF
data=${FORMDESIGNER_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/formdesigner}
mkdir -p "$data"
server_pid=""
if [ -x build/release/repository-server/repository-server ]; then
    build/release/repository-server/repository-server --address 127.0.0.1 --port 5001 \
        --db "$data/repository.db" --seed-demo &
    server_pid=$!
    trap '[ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true' EXIT
fi
FORMDESIGNER_HOME="$data" build/release/src/app/formdesigner "$@"
