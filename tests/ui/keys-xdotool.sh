#!/usr/bin/env bash
# The key page through the real window under X11, driven with xdotool: key 4 gets Ctrl+A from
# its function menu and the combination capture (Ctrl ticked, A typed), the window's close
# button ends the program, and the emulated mouse's EEPROM must then equal what
# `zorvanctl assign 4 combo Ctrl+A` writes into a fresh one. Run under Xvfb (1280x1024):
#   keys-xdotool.sh BIN_DIR
# Places are those of the default skin and cfg.ini at normal size. Exit 77: no xdotool.
set -euo pipefail
bin=$1
command -v xdotool >/dev/null || { echo "xdotool is not installed"; exit 77; }

tmp=$(mktemp -d)
gui=
cleanup() {
    [[ -n $gui ]] && kill "$gui" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
export HOME=$tmp XDG_RUNTIME_DIR=$tmp/run QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"

source "$(dirname "$0")/xdotool-lib.sh"

ZORVAN_EMULATE=$tmp/window.state "$bin/zorvan" &
gui=$!
wait_for 30 visible '^Zorvan$'
window=$(visible '^Zorvan$' | head -1)
sleep 1.5              # the profile read starts after the take-over
wait_for 30 no_message # its wait message goes when the profile is read

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.4; }
click 185 333          # key 4 (page at 2,160; ptKey 72,77; keys 29 apart)
click 185 534          # "Key combination", row 10 of the menu below the key
wait_for 10 visible '^ZorvanMsgTopWindow$'
dialog=$(visible '^ZorvanMsgTopWindow$' | head -1)
click 448 369          # the Ctrl box of the capture dialog (centred over the window)
xdotool windowfocus --sync "$dialog" key a
sleep 0.4
click 510 394          # OK
wait_for 10 no_message
sleep 2                # the key is written to the mouse
click 992 24           # close: the program ends and keeps the mouse's state
wait_for 30 bash -c "! kill -0 $gui"
gui=

ctl() { "$bin/zorvanctl" --app-dir "$bin" --data-dir "$tmp/cli-data" "$@"; }
ctl --emulate="$tmp/cli.state" assign 4 combo Ctrl+A >/dev/null
ctl --emulate="$tmp/window.state" dump-eeprom >"$tmp/window.txt"
ctl --emulate="$tmp/cli.state" dump-eeprom >"$tmp/cli.txt"
diff "$tmp/cli.txt" "$tmp/window.txt"
echo "the window wrote what zorvanctl writes"
