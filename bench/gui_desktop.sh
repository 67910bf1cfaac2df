# A desktop for the GUI benchmarks, sourced by bench/startup.sh and bench/idle.sh: an X server
# of their own, optionally a tray host, the program started in a fresh home with the emulated
# mouse, and the moment its window is mapped, taken from the X server's MapNotify event
# (polling the server for the window would compete with the program for the CPU).
#
# Needs: $program (the zorvan to run) and $title (its window title). Uses Xvfb, xev, xprop,
# and trayer for start_tray.

# An X server on the first free display (Xvfb picks it, so parallel runs do not race). Kept
# from resetting itself when its last client leaves: a program started right then could not
# connect ("could not connect to display").
start_display() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3> "$fifo" 2> /dev/null &
    desktop_pids=("$!")
    trap stop_desktop EXIT
    local number
    read -r number < "$fifo"
    rm -f "$fifo"
    export DISPLAY=:$number
    # The server's map events, one line each, read as they come.
    exec {x_events}< <(exec stdbuf -oL xev -root -event substructure 2> /dev/null)
}

stop_desktop() {
    kill "${desktop_pids[@]}" 2> /dev/null || true
}

# A tray host (trayer), so that the program can hide in the tray.
start_tray() {
    trayer --edge bottom --align right --widthtype pixel --width 200 --heighttype pixel --height 24 \
        > /dev/null 2>&1 &
    desktop_pids+=("$!")
    for ((i = 0; i < 200; ++i)); do
        xprop -name panel WM_NAME > /dev/null 2>&1 && return
        sleep 0.05
    done
    echo "the tray host did not start" >&2
    exit 1
}

now_us() { echo "${EPOCHREALTIME/./}"; }

# Starts the program in a fresh home with the emulated mouse, with `$@` as its arguments and
# under the command in the array `launcher` when it has one (a tracer); sets home, start_us (the
# launch) and pid (of the program or its launcher).
launcher=()
launch() {
    home=$(mktemp -d)
    mkdir -m 700 "$home/run"
    # Map events of earlier runs are not this run's.
    while read -r -t 0.01 -u "$x_events" _; do :; done
    start_us=$(now_us)
    HOME=$home XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
        XDG_CACHE_HOME=$home/.cache DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb \
        ZORVAN_EMULATE=1 "${launcher[@]}" "$program" "$@" > "$home/out.txt" 2>&1 &
    pid=$!
}

# Waits for the program's window to be mapped; sets mapped_us. Ends the benchmark when the
# program ends first or no window comes within 20 s.
wait_for_window() {
    local line window
    while true; do
        if ! read -r -t 20 -u "$x_events" line; then
            echo "no window after 20 s" >&2
            kill "$pid" 2> /dev/null
            exit 1
        fi
        [[ $line == MapNotify* ]] || continue
        mapped_us=$(now_us)
        read -r -u "$x_events" line
        window=${line#*window }
        window=${window%%,*}
        if xprop -id "$window" WM_NAME 2> /dev/null | grep -qF "\"$title\""; then
            return
        fi
        kill -0 "$pid" 2> /dev/null || { echo "zorvan ended before its window showed:" >&2; cat "$home/out.txt" >&2; exit 1; }
    done
}

# The window's top-left corner on the screen: sets window_x, window_y.
window_origin() {
    local info
    info=$(xwininfo -name "$title")
    window_x=$(awk '/Absolute upper-left X/ {print $4}' <<< "$info")
    window_y=$(awk '/Absolute upper-left Y/ {print $4}' <<< "$info")
}

end_program() {
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
    rm -rf "$home"
}
