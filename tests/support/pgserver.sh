#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the ODBC tests, listening only on a unix socket in a
# fresh temporary folder.
#   pgserver.sh start STATEFILE   initialises and starts it; writes dir, port, user, password
#   pgserver.sh stop STATEFILE    stops it and removes the folder
#   pgserver.sh halt STATEFILE    stops the server only, as an outage would
#   pgserver.sh resume STATEFILE  starts a halted server again
# Without Debian's PostgreSQL binaries, start fails under CI (CI=true) and otherwise writes
# "unavailable=..." so that the tests skip.
set -euo pipefail
action=$1
state=$2

case "$action" in
start)
    rm -f "$state"
    bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
    if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
        if [ "${CI:-}" = true ]; then
            echo "PostgreSQL server binaries not found (package postgresql)" >&2
            exit 1
        fi
        echo "unavailable=PostgreSQL server binaries not found (package postgresql)" >"$state"
        exit 0
    fi
    dir=$(mktemp -d /tmp/vornx-pg.XXXXXX)
    run=()
    # The server refuses to run as root.
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$dir"
        run=(runuser -u postgres --)
    fi
    password=vornx-test
    port=5439
    echo "$password" >"$dir/pwfile"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir/pwfile"
    "${run[@]}" "$bindir/initdb" -D "$dir/data" -U vornx --pwfile="$dir/pwfile" --auth=scram-sha-256 \
        -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    "${run[@]}" "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-k $dir -p $port -c listen_addresses=''" start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    "${run[@]}" env PGPASSWORD="$password" "$bindir/createdb" -h "$dir" -p "$port" -U vornx vornx
    printf 'dir=%s\nport=%s\nuser=vornx\npassword=%s\ndatabase=vornx\nbindir=%s\n' \
        "$dir" "$port" "$password" "$bindir" >"$state"
    ;;
stop)
    [ -f "$state" ] || exit 0
    dir=$(sed -n 's/^dir=//p' "$state")
    bindir=$(sed -n 's/^bindir=//p' "$state")
    if [ -n "$dir" ] && [ -d "$dir" ]; then
        run=()
        [ "$(id -u)" -eq 0 ] && run=(runuser -u postgres --)
        "${run[@]}" "$bindir/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
        rm -rf "$dir"
    fi
    rm -f "$state"
    ;;
halt | resume)
    dir=$(sed -n 's/^dir=//p' "$state")
    port=$(sed -n 's/^port=//p' "$state")
    bindir=$(sed -n 's/^bindir=//p' "$state")
    run=()
    [ "$(id -u)" -eq 0 ] && run=(runuser -u postgres --)
    if [ "$action" = halt ]; then
        "${run[@]}" "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
    else
        "${run[@]}" "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
            -o "-k $dir -p $port -c listen_addresses=''" start >/dev/null
    fi
    ;;
*)
    echo "usage: $0 start|stop|halt|resume STATEFILE" >&2
    exit 2
    ;;
esac
