#!/usr/bin/env bash
# Configures and builds the program and its tests into build/ (the program is build/main/tabel).
# --keep-going builds every target it can after an error (the build still fails).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
native=()
if [ "${1:-}" = --keep-going ]; then
    case $(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' build/CMakeCache.txt) in
        Ninja*) native=(-k 0) ;;
        *Makefiles*) native=(-k) ;;
    esac
fi
cmake --build build -j2 -- "${native[@]}"
