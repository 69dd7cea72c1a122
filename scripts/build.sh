#!/usr/bin/env bash
# Configures and builds into build/: everything (the program, its tests and benchmarks), or only
# the program with --program (build/main/tabel). --keep-going builds every target it can after an
# error (the build still fails).
set -euo pipefail
cd "$(dirname "$0")/.."
keep_going=no targets=()
for arg in "$@"; do
    case $arg in
        --keep-going) keep_going=yes ;;
        --program) targets=(--target tabel) ;;
        *) echo "usage: scripts/build.sh [--program] [--keep-going]" >&2; exit 2 ;;
    esac
done
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
native=()
if [ "$keep_going" = yes ]; then
    case $(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' build/CMakeCache.txt) in
        Ninja*) native=(-k 0) ;;
        *Makefiles*) native=(-k) ;;
    esac
fi
cmake --build build -j2 "${targets[@]}" -- "${native[@]}"
