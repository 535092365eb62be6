#!/usr/bin/env bash
# pg-cluster.sh start|stop STATE: a throwaway PostgreSQL cluster for the tests, in a
# temporary folder, run by an unprivileged user (initdb refuses root) on a free loopback
# port. start writes the connection address to STATE/uri; stop ends the cluster and
# removes its folder. FD_PG_FSYNC=on keeps the server's syncs (for figures); tests go
# without them.
set -euo pipefail
cmd=${1:?start or stop} state=${2:?state folder}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
    echo "pg-cluster: no PostgreSQL server in /usr/lib/postgresql/*/bin (scripts/install-deps.sh)" >&2
    exit 1
fi
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}
stop() {
    local dir
    dir=$(cat "$state/folder" 2>/dev/null) || return 0
    if [ -d "$dir/data" ]; then as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true; fi
    rm -rf "$dir" "$state/folder" "$state/uri"
}
case $cmd in
stop) stop ;;
start)
    stop
    mkdir -p "$state"
    # /tmp, not TMPDIR: the unprivileged owner must reach the folder.
    dir=$(mktemp -d /tmp/fd-pg-XXXXXX)
    echo "$dir" >"$state/folder"
    if [ "$(id -u)" -eq 0 ]; then chown nobody "$dir"; fi
    if ! as_owner "$bin/initdb" -D "$dir/data" -U fd --auth=trust --no-sync -E UTF8 --locale=C \
        >"$dir/initdb.log" 2>&1; then
        cat "$dir/initdb.log" >&2
        stop
        exit 1
    fi
    for try in $(seq 1 20); do
        port=$((20000 + RANDOM % 40000))
        if as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
            -o "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories=$dir -c fsync=${FD_PG_FSYNC:-off} -c max_connections=200" \
            start >/dev/null; then
            echo "postgresql://fd@127.0.0.1:$port/postgres?sslmode=disable&gssencmode=disable" >"$state/uri"
            echo "PostgreSQL listening on 127.0.0.1:$port"
            exit 0
        fi
    done
    cat "$dir/server.log" >&2 || true
    stop
    exit 1
    ;;
*) echo "usage: pg-cluster.sh start|stop STATE" >&2; exit 2 ;;
esac
