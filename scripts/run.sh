#!/usr/bin/env bash
# The run command: installs what is missing, builds, starts the tree's kept database server (made
# and filled with the demo plant the first time) and opens the program against it.
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
cd "$tree"
say() { printf '\n== %s\n' "$*"; }
say "Checking the Debian packages the program needs"
bash scripts/install.sh
say "Building the program (the first build takes a few minutes; later ones only what changed)"
bash scripts/build.sh --program
source scripts/pg.sh

say "Starting the database server (the first start creates it and loads the demo plant)"
folder=$(pg_kept_folder "$tree")
started=no
pg_running "$folder" || started=yes
port=$(pg_kept_start "$folder" 54329)
pg_demo_database "$port" corvel "$tree"
echo "Database corvel on 127.0.0.1:$port (cluster in $folder)"
say "Opening the program; log in with 7391 (see the README for the other login words)"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    echo "warning: no DISPLAY or WAYLAND_DISPLAY; the program needs a desktop session to show its windows" >&2
fi

# The server goes down with the program unless it was already running or another client
# (a second copy of the program, psql) still uses it.
program_pid=
finish() {
    if [ -n "$program_pid" ]; then
        kill -TERM "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ "$started" = yes ]; then
        # The program's own session may take a moment to go away.
        local others=1 i
        for i in 1 2 3 4 5 6 7 8 9 10; do
            others=$(pg_other_clients "$port" 2>/dev/null || echo 1)
            [ "$others" = 0 ] && break
            sleep 0.2
        done
        if [ "$others" = 0 ]; then
            pg_stop "$folder"
        else
            echo "The database server stays up for its other clients (stop it with scripts/devdb.sh stop)."
        fi
    fi
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

PGPORT=$port PGUSER=sys PGPASSWORD=wexutap build/main/tabel corvel 127.0.0.1 &
program_pid=$!
set +e
wait "$program_pid"
status=$?
set -e
program_pid=
exit $status
