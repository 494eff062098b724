#!/usr/bin/env bash
# The real host program under Xvfb: it creates a fresh demo database, opens the plug-in's
# window, takes a screenshot, closes itself; the plug-in class must have traced its creation
# and its end, and CloseForm must have answered True.
# Usage: real_window_test.sh PROGRAM DEFAULT_ARTIFACT_DIR
set -u
program=$1
artifacts=${PREZZOLAMPO_TEST_ARTIFACTS:-$2}
mkdir -p "$artifacts"
screenshot=$artifacts/prezzolampo.png
work=$(mktemp -d /tmp/prezzolampo-app.XXXXXX)
trap 'rm -rf "$work"' EXIT
rm -f "$screenshot"

fail() {
    echo "FAIL: $*" >&2
    echo "---- standard error of prezzolampo ----" >&2
    cat "$work/stderr" >&2
    exit 1
}

# A user of its own: no settings file, data folder in the temporary directory.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 0700 "$XDG_RUNTIME_DIR"
# Sanitizer builds: leaks of the system libraries are not ours (as in scripts/run-tests.sh).
here=$(cd "$(dirname "$0")/../.." && pwd)
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/tests/lsan.supp:print_suppressions=0}

# The program finds its plug-ins from its own folder, whatever the folder it is started in.
cd "$work" || fail "no work folder"

# Without a display, --help and a refused start still answer, in words, and end.
env -u DISPLAY QT_QPA_PLATFORM=xcb "$program" --help >"$work/help" 2>"$work/stderr" ||
    fail "--help without a display: exit code $?"
grep -q -- '--markup-method' "$work/help" || fail "--help does not list the options"
env -u DISPLAY QT_QPA_PLATFORM=xcb "$program" --company "1 OR 1=1" >"$work/stdout" 2>"$work/stderr"
[ $? -eq 2 ] || fail "a company code that is no number was not refused"
grep -q 'Codice ditta non valido' "$work/stderr" || fail "no message for the refused company code"

xvfb-run -a -s "-screen 0 1366x768x24" env QT_QPA_PLATFORM=xcb \
    "$program" --database "$work/demo.sqlite" --screenshot "$screenshot" --quit-after 4000 \
    >"$work/stdout" 2>"$work/stderr"
status=$?
[ "$status" -eq 0 ] || fail "exit code $status"
[ -f "$work/demo.sqlite" ] || fail "the demo database was not created"

# The screenshot: a PNG of the main frame with more than a few colours' worth of data.
[ -f "$screenshot" ] || fail "no screenshot at $screenshot"
python3 - "$screenshot" <<'PY' || fail "the screenshot is not a plausible image of the frame"
import struct, sys
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
width, height = struct.unpack('>II', data[16:24])
print(f'screenshot {width}x{height}, {len(data)} bytes')
assert width >= 400 and height >= 300, 'too small'
assert len(data) > 20000, "hardly more than an empty frame"
PY

trace=$(grep -E '^QVMA:\|[0-9A-F]{32}\|(INI|TER)\|RIDE_PREZZOLAMPO\|CLSMG_PREZZOLAMPO$' "$work/stderr")
ini=$(grep '|INI|' <<<"$trace" | cut -d'|' -f2)
ter=$(grep '|TER|' <<<"$trace" | cut -d'|' -f2)
[ -n "$ini" ] || fail "no INI trace line of CLSMG_PREZZOLAMPO"
[ -n "$ter" ] || fail "no TER trace line of CLSMG_PREZZOLAMPO"
[ "$ini" = "$ter" ] || fail "INI and TER carry different identifiers ($ini, $ter)"
grep -qx 'prezzolampo|CloseForm|True' "$work/stderr" || fail "CloseForm did not answer True"
# The window traces its own life too, and ends before the program does.
grep -qE '\|INI\|RIDE_PREZZOLAMPO\|FRMMG_PREZZOLAMPO$' "$work/stderr" || fail "the window never started"
grep -qE '\|TER\|RIDE_PREZZOLAMPO\|FRMMG_PREZZOLAMPO$' "$work/stderr" || fail "the window never ended"

# Told to quit before the window's load is over: the window closes once its load ends, no
# question waits for an answer, and the program ends by itself.
timeout 90 xvfb-run -a -s "-screen 0 1366x768x24" env QT_QPA_PLATFORM=xcb \
    "$program" --database "$work/demo.sqlite" --quit-after 0 >"$work/stdout" 2>"$work/stderr"
status=$?
[ "$status" -ne 124 ] || fail "--quit-after 0: the program did not end"
[ "$status" -eq 0 ] || fail "--quit-after 0: exit code $status"
grep -qx 'prezzolampo|CloseForm|True' "$work/stderr" || fail "--quit-after 0: CloseForm did not answer True"
grep -qE '\|TER\|RIDE_PREZZOLAMPO\|FRMMG_PREZZOLAMPO$' "$work/stderr" ||
    fail "--quit-after 0: the window never ended"
echo "PASS: screenshot $screenshot"
