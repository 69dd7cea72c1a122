#!/usr/bin/env bash
# The test command: installs what is missing, builds, starts a throwaway database server on a free
# port, runs every test through CTest (arguments go to ctest) and removes the server again. The
# exit status is the build's when it failed, else CTest's.
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
cd "$tree"
bash scripts/install.sh
# A failed build fails the command, but the tests that could be built still run.
build_status=0
bash scripts/build.sh --keep-going || build_status=$?
source scripts/pg.sh

cluster=$(mktemp -d /tmp/tabel-pgtest.XXXXXX)
standby=$(mktemp -d /tmp/tabel-pgstandby.XXXXXX)
runtime=$(mktemp -d /tmp/tabel-xdg.XXXXXX)
chmod 700 "$runtime"
tests_pid=
# Processes whose parent is the given process.
children_of() {
    local parent=$1 p stat fields
    for p in /proc/[0-9]*; do
        stat=$(cat "$p/stat" 2>/dev/null) || continue
        read -r -a fields <<<"${stat##*) }"
        if [ "${fields[1]:-}" = "$parent" ]; then echo "${p#/proc/}"; fi
    done
}
# An interrupted run ends CTest (started in a process group of its own) and the tests it runs
# (CTest gives them groups of their own) before the server goes away.
stop_tests() {
    if [ -n "$tests_pid" ]; then
        local kids
        kids=$(children_of "$tests_pid")
        kill -TERM -- "-$tests_pid" $kids 2>/dev/null || true
        wait "$tests_pid" 2>/dev/null || true
        tests_pid=
    fi
}
cleanup() {
    stop_tests
    pg_stop "$standby" || true
    pg_stop "$cluster" || true
    rm -rf "$cluster" "$standby" "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

pg_init "$cluster" throwaway
port=$(pg_start_on_free_port "$cluster")
pg_prepare "$port"
echo "Test database server on 127.0.0.1:$port"
# A hot standby of it, for the test of the reports that read from a standby.
pg_standby_init "$standby" "$port"
standby_port=$(pg_start_on_free_port "$standby")
echo "Its hot standby on 127.0.0.1:$standby_port"
export TABEL_TEST_STANDBY=127.0.0.1:$standby_port

export PGHOST=127.0.0.1 PGPORT=$port PGUSER=sys PGPASSWORD=wexutap
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime
setsid ctest --test-dir build --output-on-failure -j2 "$@" &
tests_pid=$!
set +e
wait "$tests_pid"
status=$?
set -e
tests_pid=
if [ "$build_status" -ne 0 ]; then
    echo "error: the build failed (see above); the tests that could be built have run" >&2
    exit "$build_status"
fi
exit $status
