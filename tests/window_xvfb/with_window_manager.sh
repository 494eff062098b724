#!/usr/bin/env bash
# Runs a program on a fresh Xvfb display under the openbox window manager, as on a desktop: a
# window that is shown takes the activation, and a dialog that closes gives it back to its
# window. Usage: with_window_manager.sh PROGRAM [ARGUMENTS...]
set -u
command -v openbox >/dev/null || { echo "openbox is not installed (scripts/install-deps.sh)" >&2; exit 1; }
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    # The manager is ready once it has named itself on the root window.
    for _ in $(seq 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
    "$@"
    status=$?
    kill "$wm" 2>/dev/null
    wait "$wm" 2>/dev/null
    exit "$status"' with_window_manager "$@"
