#!/usr/bin/env bash
# Runs the whole test suite of a build folder. PostgreSQL tests start their own throwaway
# server; under CI=true they never skip for want of one.
set -euo pipefail
build_dir=${1:-build-test}
here=$(cd "$(dirname "$0")/.." && pwd)

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/prezzolampo-xdg.XXXXXX)}
chmod 0700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export PREZZOLAMPO_TEST_ARTIFACTS=${PREZZOLAMPO_TEST_ARTIFACTS:-$here/$build_dir/artifacts}
mkdir -p "$PREZZOLAMPO_TEST_ARTIFACTS"

# Every GoogleTest program also writes its results, read below for the PostgreSQL summary.
results="$PREZZOLAMPO_TEST_ARTIFACTS/gtest"
rm -rf "$results"
export GTEST_OUTPUT="xml:$results/"

cd "$build_dir"
log="$results/ctest.log"
mkdir -p "$results"
status=0
ctest --output-on-failure --timeout 600 "${@:2}" 2>&1 | tee "$log" || status=$?

# Show that the PostgreSQL cases ran against a real server (none skipped).
pg_cases=$(cat "$results"/*.xml 2>/dev/null | grep '<testcase' | grep -c 'PostgreSQL' || true)
pg_skipped=$(cat "$results"/*.xml 2>/dev/null | grep '<testcase' | grep 'PostgreSQL' |
    grep -c 'result="skipped"' || true)
echo "PostgreSQL: $pg_cases test cases run, $pg_skipped skipped"
# ctest's own closing line stays the last one.
grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n 1 || true
exit "$status"
