#!/usr/bin/env bash
# What the GUI costs while nothing happens: the CPU time of the whole process (every thread's
# schedstat) over IDLE_SECONDS seconds, with the window open on each page (the pointer resting
# outside it) and hidden in the tray, after the start-up read of the emulated mouse has ended.
# The battery poll every 30 s is part of it. Target: at most 2 ms per 30 s in every case.
#
# Usage: bench/idle.sh [BUILD_DIR]      IDLE_SECONDS=30, ZORVAN_TITLE=Zorvan
# Needs Xvfb, xev, xprop, xwininfo, xdotool and trayer; reads /proc.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
program=$(cd "$build/bin" && pwd)/zorvan
title=${ZORVAN_TITLE:-Zorvan}
seconds=${IDLE_SECONDS:-30}
settle_s=4        # start-up: the window's wait, the take-over and the profile read
target_us_per_30s=2000

[[ -x $program ]] || { echo "no $program: build first" >&2; exit 1; }
# shellcheck source=bench/gui_desktop.sh
source "$here/gui_desktop.sh"
start_display
start_tray

# The navigation buttons as cfg.ini places them.
option() { awk -F= -v key="$1" 'tolower($1) == tolower(key) {print $2; exit}' "$build/bin/cfg.ini" | tr -d '\r '; }
IFS=, read -r navi_x navi_y <<< "$(option ptNavi)"
navi_w=$(option NaviW); navi_w=${navi_w:-0}
if (( navi_w >= 1 )); then step=$navi_w; else navi_w=60; step=64; fi

# Nanoseconds on a CPU of every thread of $pid, one line per thread: "tid ns name".
threads_ns() {
    local task on name
    for task in /proc/"$pid"/task/*; do
        { read -r on _ < "$task/schedstat" && read -r name < "$task/comm"; } 2> /dev/null || continue
        echo "${task##*/} $on $name"
    done
}

failed=0
# measure CASE: the CPU the process spends in the next $seconds seconds, per thread and in all.
measure() {
    local before after
    before=$(threads_ns)
    sleep "$seconds"
    after=$(threads_ns)
    # Threads that ended in between are missed; their count is shown.
    awk -v case_name="$1" -v seconds="$seconds" -v target="$target_us_per_30s" '
        NR == FNR { was[$1] = $2; name[$1] = $3; next }
        { used = $2 - ($1 in was ? was[$1] : 0); total += used; seen[$1] = 1
          if (used >= 50000) detail = detail sprintf(" %s %.2f", $3, used / 1e6) }
        END {
            for (t in was) if (!(t in seen)) { ended++; gone = gone " " name[t] }
            per30 = total / 1000 * 30 / seconds
            printf "%-22s %6.2f ms per 30 s%s%s (threads, ms:%s)\n", case_name, per30 / 1000,
                per30 <= target ? "" : "  ABOVE TARGET", ended ? sprintf(", ended meanwhile:%s", gone) : "",
                detail == "" ? " none above 0.05" : detail
            exit per30 <= target ? 0 : 3
        }' <(echo "$before") <(echo "$after") || failed=1
}

echo "CPU of the whole process over $seconds s, scaled to 30 s (target 2 ms):"
pages=("buttons page" "DPI page" "macro page" "lighting page")
for n in 0 1 2 3; do
    launch
    wait_for_window
    window_origin
    xdotool mousemove $((window_x + navi_x + n * step + navi_w / 2)) $((window_y + navi_y + 24)) click 1
    xdotool mousemove 0 0
    sleep "$settle_s"
    measure "window, ${pages[n]}"
    end_program
done
launch --tray
sleep "$settle_s"
measure "hidden in the tray"
end_program
exit "$failed"
