#!/usr/bin/env bash
# Runs the benchmark of a build folder: opening an article, saving a row and "&Ricalcola", on
# SQLite, on PostgreSQL (PREZZOLAMPO_PG names a server; otherwise a throwaway cluster is
# started) and on PostgreSQL through a relay that adds a round trip of 5 ms (the round trips
# of each action are counted there).
# Usage: scripts/run-bench.sh [build folder] [--runs N] [--small ARTICLES] [--large ARTICLES]
#        [--backend SQLite|PostgreSQL|PostgreSQL+delay] [--delay-ms ROUND_TRIP]
set -euo pipefail
build_dir=${1:-build}
shift || true
cmake --build "$build_dir" --target prezzolampo_bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export TZ=Europe/Rome
echo "macchina: $(nproc) CPU, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
exec "$build_dir/bench/prezzolampo_bench" "$@"
