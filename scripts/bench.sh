#!/usr/bin/env bash
# The benchmark command: scripts/bench.sh [plant|large] [-R pattern]
#
# Installs what is missing, builds, and runs every benchmark against a throwaway database server
# on a free port that holds the generated data of the size (plant: 400 workers, 20,000 persons,
# two years; large: 2,000 workers, 200,000 persons, five years). The data are generated once for
# each schema, generator and size (bench/generator.sql; keyed by a hash of both files) and kept in
# .bench-data/; every run works on a copy, so what a benchmark writes is gone afterwards.
# -R runs only the measures whose "group: measure" name matches the pattern (an extended regular
# expression, letter case ignored). It prints one table: this program against its reference, min
# and median of several runs, each pair measured alternately. A full run keeps its results; once
# both sizes have run, it also prints how each figure grew from plant to large. Nothing here is a
# pass/fail test: missed targets are marked in the table, and the command fails only when it
# cannot run.
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
cd "$tree"

size=plant filter=
while [ $# -gt 0 ]; do
    case $1 in
        plant | large) size=$1; shift ;;
        -R) filter=${2:?-R needs a pattern}; shift 2 ;;
        *) echo "usage: scripts/bench.sh [plant|large] [-R pattern]" >&2; exit 2 ;;
    esac
done

# Benchmarks that are whole programs, run after the in-process suites: "name|command" entries.
# Each runs with the server's environment (PGHOST, PGPORT, PGUSER, PGPASSWORD, PGDATABASE),
# QT_QPA_PLATFORM=offscreen, TABEL_BENCH_FILTER (the -R pattern: run only the measures whose
# "group: measure" matches it) and TABEL_BENCH_RESULTS (the results file to append its lines to;
# bench/harness.h writes them). A new whole-program benchmark is one more entry here.
whole_programs=(
    "reports|build/bench/bench_reports"
    "stress (8 clients x 1000 commands, backends terminated at random; prints its own figures)|build/bench/bench_stress 8 1000"
    "standby (8 clients saving while the year's worker report reads from a standby)|build/bench/bench_standby"
)

bash scripts/install.sh
bash scripts/build.sh
source scripts/pg.sh

# Where the generated data and the kept results live: in the tree unless the postgres user (the
# clusters' owner when this runs as root) cannot reach it.
if [ "$(id -u)" -ne 0 ] || pg_owner_can_reach "$tree"; then
    store=$tree/.bench-data
else
    store=/var/tmp/tabel-bench-$(printf '%s' "$tree" | sha1sum | cut -c1-12)
fi
mkdir -p "$store/results"
[ "$(id -u)" -ne 0 ] || chmod 755 "$store"
hash=$(cat db/schema.sql db/tabel.sql bench/generator.sql | sha1sum | cut -c1-12)
cache=$store/$size-$hash

work=$(mktemp -d /tmp/tabel-bench.XXXXXX)
chmod 755 "$work"
runtime=$(mktemp -d /tmp/tabel-xdg.XXXXXX)
chmod 700 "$runtime"
cluster=$work/cluster
cleanup() {
    pg_stop "$work/standby" 2>/dev/null || true
    pg_stop "$cluster" 2>/dev/null || true
    pg_stop "$work/generate" 2>/dev/null || true
    rm -rf "$work" "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

sys_psql() {
    local port=$1
    shift
    PGPASSWORD=wexutap "$PG_BIN/psql" -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$port" -U sys "$@"
}

# Generating: a cluster of its own, the schema and the generator loaded, then moved into the
# store whole (the server stopped), so that a run only copies it.
if [ ! -f "$cache/ready" ]; then
    echo "Generating the $size data (once for this schema and generator)"
    pg_init "$work/generate" throwaway
    port=$(pg_start_on_free_port "$work/generate")
    pg_prepare "$port"
    pg_psql "$port" -d postgres -c "create database bench owner sys"
    started=$SECONDS
    sys_psql "$port" -d bench -f db/schema.sql -f db/tabel.sql -f bench/generator.sql -c "select bench.generate('$size')" >/dev/null
    generated=$SECONDS
    sys_psql "$port" -d bench -c "vacuum analyze" -c "checkpoint"
    finished=$SECONDS
    summary=$(sys_psql "$port" -d bench -At -F ' ' -c "select (select count(*) from accounts_dep.smena),
        (select count(*) from accounts_dep.h_tabel), pg_size_pretty(pg_database_size('bench'))")
    pg_stop "$work/generate"
    read -r entries timesheet_rows db_size <<<"$summary"
    printf '%s data generated in %d s (statistics %d s more): %s register entries, %s timesheet rows, %s\n' \
        "$size" $((generated - started)) $((finished - generated)) "$entries" "$timesheet_rows" "$db_size" \
        | tee "$work/generate/summary"
    rm -rf "$store/$size-"*
    mv "$work/generate" "$cache"
    touch "$cache/ready"
fi
echo "Data: $(cat "$cache/summary")"

# This run's server: a copy of the generated cluster on a free port.
cp -a "$cache" "$cluster"
rm -f "$cluster/ready" "$cluster/summary" "$cluster/server.log"
sockets=$cluster/data
[ ${#sockets} -le 90 ] || sockets=
echo "unix_socket_directories = '$sockets'" | pg_as_owner tee -a "$cluster/data/postgresql.conf" >/dev/null
port=$(pg_start_on_free_port "$cluster")
echo "Benchmark database server on 127.0.0.1:$port"

export PGHOST=127.0.0.1 PGPORT=$port PGUSER=sys PGPASSWORD=wexutap PGDATABASE=bench
# A hot standby of it for the standby measure, when the filter wants that measure.
if [ -z "$filter" ] || printf "standby: entry saves while the year's worker report reads" | grep -qiE -- "$filter"; then
    pg_standby_init "$work/standby" "$port"
    export TABEL_BENCH_STANDBY=127.0.0.1:$(pg_start_on_free_port "$work/standby")
    # A server of its own, on this one machine: its processes (and those it starts later) at the
    # lowest CPU priority, so that its work yields to the main server's.
    standby_pid=$(head -n 1 "$work/standby/data/postmaster.pid")
    for p in /proc/[0-9]*; do
        stat=$(cat "$p/stat" 2>/dev/null) || continue
        read -r -a fields <<<"${stat##*) }"
        [ "${fields[1]:-}" = "$standby_pid" ] && renice -n 19 -p "${p#/proc/}" >/dev/null
    done
    renice -n 19 -p "$standby_pid" >/dev/null
    echo "Its hot standby on $TABEL_BENCH_STANDBY"
fi
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime TABEL_NO_OPEN=1 TABEL_EXPORT_DIR=$work/exports
export TABEL_BENCH_FILTER=$filter TABEL_BENCH_RESULTS=$work/results.tsv
mkdir -p "$TABEL_EXPORT_DIR"
: >"$TABEL_BENCH_RESULTS"

# The offscreen platform's notes about window size hints say nothing about the figures.
quiet() { "$@" 2> >(grep -v 'does not support propagateSizeHints' >&2); }
quiet build/bench/tabel_bench run
for entry in "${whole_programs[@]}"; do
    name=${entry%%|*}
    echo "$name"
    quiet ${entry#*|}
done

facts=$(sys_psql "$port" -At -F '|' -c "select s.workers, s.persons, s.years, (select count(*) from accounts_dep.smena)
    from bench.size s where s.name = '$size'")
IFS='|' read -r workers persons years entries <<<"$facts"
commit=$(git rev-parse --short HEAD 2>/dev/null || echo "no commit")
[ -z "$(git status --porcelain --untracked-files=no 2>/dev/null)" ] || commit="$commit with changes"
heading="$size size ($workers workers, $persons persons, $years years, $entries register entries), $(date +%Y-%m-%d), $commit"
build/bench/tabel_bench table "$TABEL_BENCH_RESULTS" "$heading"

# A full run is kept for the growth from plant to large.
if [ -z "$filter" ]; then
    cp "$TABEL_BENCH_RESULTS" "$store/results/$size.tsv"
    echo "$heading" >"$store/results/$size.heading"
fi
if [ -f "$store/results/plant.tsv" ] && [ -f "$store/results/large.tsv" ]; then
    build/bench/tabel_bench growth "$store/results/plant.tsv" "$(cat "$store/results/plant.heading")" \
        "$store/results/large.tsv" "$(cat "$store/results/large.heading")"
else
    other=large
    [ "$size" = plant ] || other=plant
    echo
    echo "Growth: run scripts/bench.sh $other too (a full run) to see how each figure grows from plant to large."
fi
