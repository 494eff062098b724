#!/usr/bin/env bash
# Starts the program of a build folder on the demo database (created on first run).
set -euo pipefail
build_dir=${1:-build}
shift || true
if [ -x "$build_dir/app/prezzolampo" ]; then
    exec "$build_dir/app/prezzolampo" "$@"
fi
exec "$build_dir/db/prezzolampo-demo" "$@"
