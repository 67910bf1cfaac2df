#!/usr/bin/env bash
# The DPI and lighting pages through the real window under X11, driven with xdotool: the third
# DPI level's thumb dragged from 1600 to 3200 (button down, moves, button up), 250 Hz polling,
# then on the lighting page the static effect and the red preset cell. The window's close button
# ends the program, and the emulated mouse's EEPROM must then equal what `zorvanctl set dpi`,
# `set rate` and `light` write into a fresh one. Run under Xvfb (1280x1024):
#   dpi-xdotool.sh BIN_DIR
# Places are those of the default skin and cfg.ini at normal size (the Zorvan Strix, PixArt
# 3325), relative to the window. Exit 77: no xdotool.
set -euo pipefail
bin=$1
command -v xdotool >/dev/null || { echo "xdotool is not installed"; exit 77; }

tmp=$(mktemp -d)
gui= cli=
cleanup() {
    [[ -n $gui ]] && kill "$gui" 2>/dev/null || true
    [[ -n $cli ]] && wait "$cli" 2>/dev/null || true # zorvanctl's side ends by itself
    rm -rf "$tmp"
}
trap cleanup EXIT
export HOME=$tmp XDG_RUNTIME_DIR=$tmp/run QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"

source "$(dirname "$0")/xdotool-lib.sh"

# The same changes through zorvanctl on a fresh mouse, meanwhile: reading the profile back through
# the command set takes about ten seconds of the emulated mouse's pauses.
ctl() { "$bin/zorvanctl" --app-dir "$bin" --data-dir "$tmp/$1-data" --emulate="$tmp/$1.state" "${@:2}"; }
{
    ctl cli set dpi 3 3200 &&
        ctl cli set rate 250 &&
        ctl cli light main 1 &&
        ctl cli light main 1 --colour FF0000 &&
        ctl cli dump-eeprom >"$tmp/cli.txt"
} >/dev/null &
cli=$!

started=$SECONDS
ZORVAN_EMULATE=$tmp/window.state "$bin/zorvan" &
gui=$!
wait_for 30 visible '^Zorvan$'
window=$(visible '^Zorvan$' | head -1)
sleep 1.5              # the profile read starts after the take-over
wait_for 30 no_message # its wait message goes when the profile is read

# The page area starts at 2,160 of the window.
at() { xdotool mousemove --window "$window" "$@"; }
click() { at "$1" "$2" click 1; sleep 0.3; }

click 119 134          # the DPI page: the second navigation button (ptNavi 25,110; 60 + 4 apart)

# The 3325's 54 values spread over the 650-pixel bar with a 10-pixel thumb: centres at
# 5 + floor(i * 640 / 53), 1600 the 15th value, 3200 the 31st. The third row's bar starts at
# ptDpiBar 120,60 + 2 * 39; its thumb's middle is 15 below (DpiSliderY 10).
row_x=$((2 + 120)) row_y=$((160 + 60 + 2 * 39 + 15))
centre() { echo $((row_x + 5 + $1 * 640 / 53)); }
from=$(centre 14) to=$(centre 30)
at "$from" "$row_y" mousedown 1
for ((x = from + 8; x < to; x += 8)); do at "$x" "$row_y"; done
at "$to" "$row_y" mouseup 1
sleep 0.3

click 940 318          # 250 Hz: the second rate radio (932,152 of the page)

click 247 134          # the lighting page: the fourth navigation button
click 205 235          # the main effect list (ptLedEft 130,60)
click 205 262          # its first row, the static effect
click 113 583          # the red preset cell, the first (ptGrid 100,412)
sleep 2                # the last change is written to the mouse
click 992 24           # close: the program ends and keeps the mouse's state
wait_for 30 bash -c "! kill -0 $gui"
gui=

ctl window dump-eeprom >"$tmp/window.txt"
wait "$cli"
cli=
diff "$tmp/cli.txt" "$tmp/window.txt"
echo "the window wrote what zorvanctl writes ($((SECONDS - started)) s)"
