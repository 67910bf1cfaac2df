#!/usr/bin/env bash
# Runs a test program as a Wayland client of weston's headless backend, with no X server:
# exit 77 (skipped) when weston or Qt's Wayland platform plugin is missing.
set -u
if ! command -v weston >/dev/null; then
  echo "weston is not installed (scripts/install-deps installs it)" >&2
  exit 77
fi
runtime=$(mktemp -d)
chmod 700 "$runtime"
socket="zorvan-test-$$"
XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
  --log="$runtime/weston.log" &
compositor=$!
for _ in $(seq 100); do
  [ -S "$runtime/$socket" ] && break
  sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
  echo "weston did not start:" >&2
  cat "$runtime/weston.log" >&2
  kill "$compositor" 2>/dev/null
  rm -rf "$runtime"
  exit 1
fi
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland "$@"
status=$?
kill "$compositor" 2>/dev/null
wait "$compositor" 2>/dev/null
rm -rf "$runtime"
exit $status
