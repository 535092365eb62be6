#!/usr/bin/env bash
# Installs what is missing, builds the two programs (no tests, no benchmarks), starts a
# local reference server (with demo forms, in the data folder) and then the designer,
# connected to that server. FD_PORT chooses the server's port; without it 5001 is
# used, or a free port when 5001 is taken.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFD_BUILD_TESTS=OFF \
    -DFD_BUILD_BENCH=OFF
data=${FORMDESIGNER_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/formdesigner}
mkdir -p "$data"
server=build/release/repository-server/repository-server
log=$(mktemp)
server_pid="" designer_pid=""
cleanup() {
    for pid in $designer_pid $server_pid; do kill "$pid" 2>/dev/null || true; done
    rm -f "$log"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Starts the server on port $1 and waits for its "listening on ADDRESS:PORT" line; sets
# port to the port it listens on, or fails when the server gave up.
start_server() {
    : >"$log"
    "$server" --address 127.0.0.1 --port "$1" --db "$data/repository.db" --seed-demo \
        >"$log" 2>&1 &
    server_pid=$!
    for _ in $(seq 100); do
        if grep -q '^listening on ' "$log"; then
            port=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$log" | head -1)
            return 0
        fi
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$server_pid" 2>/dev/null || true
    server_pid=""
    return 1
}

if [ -n "${FD_PORT:-}" ]; then
    start_server "$FD_PORT" || { cat "$log" >&2; echo "run.sh: no server on port $FD_PORT" >&2; exit 1; }
elif ! start_server 5001; then
    echo "run.sh: port 5001 is taken; the server takes a free one" >&2
    start_server 0 || { cat "$log" >&2; echo "run.sh: the server did not start" >&2; exit 1; }
fi
echo "repository server on 127.0.0.1:$port (database $data/repository.db)"
# In the background and waited for, so that a signal to this script ends both programs.
FORMDESIGNER_HOME="$data" build/release/src/app/formdesigner --connect "127.0.0.1:$port" "$@" &
designer_pid=$!
wait "$designer_pid"
