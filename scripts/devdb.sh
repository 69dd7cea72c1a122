#!/usr/bin/env bash
# The local database server of a working tree, for development and for the run command.
#
#   scripts/devdb.sh [--dir FOLDER] [--port PORT] start   initialise once, start, create the demo
#                                                         database "corvel" once; prints the port
#   scripts/devdb.sh [--dir FOLDER] stop | status
#   scripts/devdb.sh [--dir FOLDER] psql [psql args]      psql as "sys" on the demo database
#   scripts/devdb.sh [--dir FOLDER] reset                 drop "corvel" and load it again
#   scripts/devdb.sh [--dir FOLDER] env                   export lines for PGHOST, PGPORT, PGUSER,
#                                                         PGPASSWORD (eval "$(scripts/devdb.sh env)")
#
# Without --dir the cluster is the tree's kept one (.pgdata/, see README); --port is the port
# used when the cluster is started for the first time (default 54329, or a free one).
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
source "$tree/scripts/pg.sh"

folder= port=54329 database=corvel
while [ $# -gt 0 ]; do
    case $1 in
        --dir) folder=$2; shift 2 ;;
        --port) port=$2; shift 2 ;;
        *) break ;;
    esac
done
command=${1:-start}
shift || true
[ -n "$folder" ] || folder=$(pg_kept_folder "$tree")

running_port() {
    pg_running "$folder" || pg_die "no server is running in $folder (scripts/devdb.sh start)"
    pg_running_port "$folder"
}

case $command in
    start)
        p=$(pg_kept_start "$folder" "$port")
        pg_demo_database "$p" "$database" "$tree"
        echo "$p"
        ;;
    stop)
        pg_stop "$folder"
        ;;
    status)
        if pg_running "$folder"; then
            echo "running in $folder on 127.0.0.1:$(pg_running_port "$folder")"
        else
            echo "stopped ($folder)"
            exit 3
        fi
        ;;
    psql)
        p=$(running_port)
        PGPASSWORD=wexutap exec "$PG_BIN/psql" -X -h 127.0.0.1 -p "$p" -U sys -d "$database" "$@"
        ;;
    reset)
        p=$(running_port)
        pg_psql "$p" -d postgres -c "drop database if exists \"$database\" with (force)"
        pg_demo_database "$p" "$database" "$tree"
        ;;
    env)
        p=$(running_port)
        printf 'export PGHOST=127.0.0.1 PGPORT=%s PGUSER=sys PGPASSWORD=wexutap\n' "$p"
        ;;
    *)
        sed -n '2,13p' "$0" >&2
        exit 2
        ;;
esac
