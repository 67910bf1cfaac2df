#!/usr/bin/env bash
# Runs a test program with a tray host (trayer) on the current X display.
set -u
trayer --edge bottom --align right --widthtype pixel --width 200 --heighttype pixel --height 24 &
host=$!
sleep 1
"$@"
status=$?
kill "$host" 2>/dev/null
wait "$host" 2>/dev/null
exit $status
