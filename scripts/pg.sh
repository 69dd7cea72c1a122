# Shared helpers for local PostgreSQL 15 clusters (sourced by run.sh, test.sh and devdb.sh).
#
# A cluster lives in one folder:  <folder>/data (PGDATA, also the socket folder), <folder>/server.log.
# initdb refuses to run as root, so when the scripts run as root the cluster belongs to the
# "postgres" user and every server command runs through runuser.

PG_BIN=${PG_BIN:-/usr/lib/postgresql/15/bin}

pg_die() { echo "error: $*" >&2; exit 1; }

# Runs a command as the cluster's owner.
pg_as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

# True when the cluster's owner can reach the folder (every parent traversable).
pg_owner_can_reach() {
    pg_as_owner test -x "$1" 2>/dev/null
}

# True when nothing on this machine listens on the TCP port of 127.0.0.1. The check binds the way
# the server does (SO_REUSEADDR), so connections of a just-stopped server still in TIME_WAIT do
# not count as holding the port.
pg_port_free() {
    /usr/bin/python3 - "$1" <<'EOF' 2>/dev/null
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
try:
    s.bind(("127.0.0.1", int(sys.argv[1])))
except OSError:
    sys.exit(1)
finally:
    s.close()
EOF
}

# Prints a free port: the preferred one when free, else one from a range (start varies per
# process so that parallel runs rarely race for the same port).
pg_free_port() {
    local preferred=${1:-}
    if [ -n "$preferred" ] && pg_port_free "$preferred"; then
        echo "$preferred"
        return 0
    fi
    local base=$((40000 + ($$ * 7 + RANDOM) % 20000)) i p
    for ((i = 0; i < 500; i++)); do
        p=$((base + i))
        if pg_port_free "$p"; then
            echo "$p"
            return 0
        fi
    done
    pg_die "no free TCP port found on 127.0.0.1"
}

# pg_init <folder> [throwaway]: creates the cluster once (the bootstrap superuser is "postgres",
# UTF8, trust authentication, TCP on 127.0.0.1 only). A throwaway cluster trades durability for
# speed.
pg_init() {
    local folder=$1 throwaway=${2:-}
    local data=$folder/data
    [ -x "$PG_BIN/initdb" ] || pg_die "PostgreSQL 15 is not installed ($PG_BIN/initdb missing); run scripts/install.sh"
    if [ -f "$data/PG_VERSION" ]; then
        return 0
    fi
    mkdir -p "$folder"
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres:postgres "$folder"
    fi
    chmod 700 "$folder"
    pg_owner_can_reach "$folder" || pg_die "the postgres user cannot reach $folder (a parent folder is not traversable)"
    # Russian collation from ICU sorts names as people expect (Ё beside Е, not before А); the
    # C.UTF-8 character type upper-cases Cyrillic. Without ICU the plain C.UTF-8 order is used.
    if ! pg_as_owner "$PG_BIN/initdb" -D "$data" -U postgres -E UTF8 --locale=C.UTF-8 \
            --locale-provider=icu --icu-locale=ru-RU --auth=trust >"$folder/initdb.log" 2>&1; then
        pg_as_owner rm -rf "$data"
        pg_as_owner "$PG_BIN/initdb" -D "$data" -U postgres -E UTF8 --locale=C.UTF-8 --auth=trust >"$folder/initdb.log" 2>&1 \
            || { cat "$folder/initdb.log" >&2; pg_die "initdb failed in $data"; }
    fi
    # The socket goes into the data folder unless the path is too long for a socket name.
    local sockets=$data
    if [ ${#data} -gt 90 ]; then
        sockets=
    fi
    {
        echo "# Added by scripts/pg.sh"
        echo "listen_addresses = '127.0.0.1'"
        echo "unix_socket_directories = '$sockets'"
        echo "max_connections = 200"
        echo "logging_collector = off"
        if [ -n "$throwaway" ]; then
            echo "fsync = off"
            echo "synchronous_commit = off"
            echo "full_page_writes = off"
        fi
    } | pg_as_owner tee -a "$data/postgresql.conf" >/dev/null
}

pg_running() {
    [ -f "$1/data/postmaster.pid" ] && pg_as_owner "$PG_BIN/pg_ctl" -D "$1/data" status >/dev/null 2>&1
}

# Port of a running cluster, read from its pid file.
pg_running_port() {
    sed -n 4p "$1/data/postmaster.pid" 2>/dev/null
}

# pg_try_start <folder> <port>: starts the server; fails (showing the log's end) when it does not.
pg_try_start() {
    local folder=$1 port=$2
    if ! pg_as_owner "$PG_BIN/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 -o "-p $port" start >/dev/null; then
        tail -n 5 "$folder/server.log" >&2 2>/dev/null || true
        return 1
    fi
}

# pg_start_on_free_port <folder> [preferred port]: starts the server on the preferred port when it
# is free, else on another free one (a few tries, in case another process takes the port first);
# prints the port.
pg_start_on_free_port() {
    local folder=$1 preferred=${2:-} port attempt
    for attempt in 1 2 3 4 5; do
        port=$(pg_free_port "$preferred")
        if pg_try_start "$folder" "$port"; then
            echo "$port"
            return 0
        fi
        preferred=
    done
    pg_die "the PostgreSQL server in $folder did not start (log: $folder/server.log)"
}

# pg_stop <folder>
pg_stop() {
    if pg_running "$1"; then
        pg_as_owner "$PG_BIN/pg_ctl" -D "$1/data" -m fast -w -t 60 stop >/dev/null
    fi
}

# pg_standby_init <folder> <primary port>: a hot standby of the running cluster on the port, made
# with pg_basebackup -R (it follows the primary by streaming replication once started).
pg_standby_init() {
    local folder=$1 primary=$2
    mkdir -p "$folder"
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres:postgres "$folder"
    fi
    chmod 700 "$folder"
    pg_as_owner "$PG_BIN/pg_basebackup" -h 127.0.0.1 -p "$primary" -U postgres -D "$folder/data" -R -X stream \
        -c fast >"$folder/basebackup.log" 2>&1 || { cat "$folder/basebackup.log" >&2; return 1; }
    # Its own socket folder: the primary's stays the primary's.
    echo "unix_socket_directories = ''" | pg_as_owner tee -a "$folder/data/postgresql.conf" >/dev/null
}

# Runs psql as the bootstrap superuser against the cluster on the port.
pg_psql() {
    local port=$1
    shift
    PGPASSWORD= "$PG_BIN/psql" -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$port" -U postgres "$@"
}

# pg_prepare <port>: checks that the server upper-cases Cyrillic (the register's searches rely on
# it) and creates the program's superuser "sys" (password "wexutap") when missing.
pg_prepare() {
    local port=$1 upper
    upper=$(pg_psql "$port" -d postgres -At -c "select upper('ёлка абв')") \
        || pg_die "cannot connect to the PostgreSQL server on port $port"
    [ "$upper" = "ЁЛКА АБВ" ] \
        || pg_die "the server on port $port does not upper-case Cyrillic (got '$upper'); the cluster must use the C.UTF-8 locale and UTF8"
    pg_psql "$port" -d postgres -c "
        do \$\$ begin
          if not exists (select 1 from pg_roles where rolname = 'sys') then
            create role sys superuser login password 'wexutap';
          end if;
        end \$\$;"
}

# Clients connected to the server other than the asking session.
pg_other_clients() {
    pg_psql "$1" -d postgres -At -c \
        "select count(*) from pg_stat_activity where backend_type = 'client backend' and pid <> pg_backend_pid()"
}

# The kept cluster of a working tree: <tree>/.pgdata, unless the postgres user (the owner when the
# scripts run as root) cannot reach the tree, e.g. under /root; then a folder under /var/tmp named
# after the tree. An existing cluster in either place is kept where it is.
pg_kept_folder() {
    local tree=$1 fallback
    fallback=/var/tmp/tabel-pgdata-$(printf '%s' "$tree" | sha1sum | cut -c1-12)
    if [ -f "$tree/.pgdata/data/PG_VERSION" ]; then
        echo "$tree/.pgdata"
    elif [ -f "$fallback/data/PG_VERSION" ]; then
        echo "$fallback"
    elif [ "$(id -u)" -ne 0 ] || pg_owner_can_reach "$tree"; then
        echo "$tree/.pgdata"
    else
        echo "$fallback"
    fi
}

# pg_kept_start <folder> <default port>: initialises the kept cluster once and starts it unless it
# is running; the port is chosen once (the default when free) and remembered in <folder>/port.
# Prints the port.
pg_kept_start() {
    local folder=$1 default=$2 port remembered
    pg_init "$folder"
    if pg_running "$folder"; then
        pg_running_port "$folder"
        return 0
    fi
    remembered=$(cat "$folder/port" 2>/dev/null || true)
    port=$(pg_start_on_free_port "$folder" "${remembered:-$default}")
    if [ "$port" != "$remembered" ]; then
        echo "$port" >"$folder/port"
    fi
    echo "$port"
}

# pg_demo_database <port> <database> <source tree>: creates the database with the schema and the
# demo plant unless it exists, then applies the program's own schema (db/tabel.sql, which adds
# only the steps the database does not have yet). A failed load leaves no half-filled database
# behind.
pg_demo_database() {
    local port=$1 db=$2 tree=$3
    pg_prepare "$port"
    if [ -z "$(pg_psql "$port" -d postgres -At -c "select 1 from pg_database where datname = '$db'")" ]; then
        echo "Creating database $db with the demo plant"
        pg_psql "$port" -d postgres -c "create database \"$db\" owner sys"
        if ! pg_psql "$port" -d "$db" -U sys -1 -f "$tree/db/schema.sql" -f "$tree/db/demo.sql" >/dev/null; then
            pg_psql "$port" -d postgres -c "drop database \"$db\""
            pg_die "loading db/schema.sql and db/demo.sql into $db failed"
        fi
    fi
    pg_psql "$port" -d "$db" -U sys -f "$tree/db/tabel.sql" >/dev/null || pg_die "applying db/tabel.sql to $db failed"
}
