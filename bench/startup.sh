#!/usr/bin/env bash
# Start-up of the GUI with the emulated mouse, under Xvfb. For each run: the wall and CPU time
# from launch until the main window is on the screen, where the UI thread's time went (the
# initialisation wait apart from the work), and the resident memory 3 s after the window.
# Targets: at most 40 MB resident, at most 60 ms CPU to the window beside the waits.
#
# The window counts as on the screen when the X server maps it (its MapNotify event).
#
# Usage: bench/startup.sh [BUILD_DIR]      RUNS=5 (runs, medians printed), ZORVAN_TITLE=Zorvan
# Needs Xvfb, xev and xprop; reads /proc. With strace installed, one more run (not
# timed) lists the pauses the UI thread sleeps through before the window (device exchanges).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
program=$(cd "$build/bin" && pwd)/zorvan
runs=${RUNS:-5}
title=${ZORVAN_TITLE:-Zorvan}
settle_s=3
start_wait_ms=1000   # the main window's initialisation wait before it shows itself
clk_tck=$(getconf CLK_TCK)

[[ -x $program ]] || { echo "no $program: build first" >&2; exit 1; }

# shellcheck source=bench/gui_desktop.sh
source "$here/gui_desktop.sh"
start_display

# On-CPU and run-queue nanoseconds of one thread (field 1 and 2 of schedstat).
schedstat() { local on wait rest; read -r on wait rest < "$1/schedstat"; echo "$on $wait"; }
# User plus system time of the whole process, dead threads included, in ms.
process_cpu_ms() {
    local stat; stat=$(< "/proc/$1/stat"); stat=${stat##*) }
    local -a f=($stat)
    echo $(( (f[11] + f[12]) * 1000 / clk_tck ))
}
mb() { awk -v kb="$1" 'BEGIN {printf "%.1f", kb / 1024}'; }
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

declare -a wall cpu ui_cpu rss
for ((run = 1; run <= runs; ++run)); do
    launch
    wait_for_window
    total_ms=$(process_cpu_ms "$pid")
    read -r ui_on ui_queue < <(schedstat "/proc/$pid")
    threads="" live_ns=$ui_on
    for task in /proc/"$pid"/task/*; do
        [[ $task == "/proc/$pid/task/$pid" ]] && continue
        # A thread may end meanwhile (the identification threads are short).
        { read -r on _ < "$task/schedstat" && read -r name < "$task/comm"; } 2> /dev/null || continue
        live_ns=$((live_ns + on))
        (( on >= 1000000 )) && threads+=" $name $((on / 1000000))"
    done
    # The process's clock counts ended threads too, but only in ticks; the threads' own are exact.
    total_ms=$(( total_ms > live_ns / 1000000 ? total_ms : live_ns / 1000000 ))
    sleep "$settle_s"
    rss_kb=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
    parts=$(awk '/^Rss(Anon|File|Shmem)/ {printf "%s %d MB, ", $1, ($2 + 512) / 1024}' "/proc/$pid/status")
    end_program

    w=$(( (mapped_us - start_us) / 1000 )); u=$(( ui_on / 1000000 )); q=$(( ui_queue / 1000000 ))
    asleep=$(( w - u - q - start_wait_ms ))
    wall+=("$w"); cpu+=("$total_ms"); ui_cpu+=("$u"); rss+=("$rss_kb")
    printf 'run %d: resident %s MB (%s)\n' "$run" "$(mb "$rss_kb")" "${parts%, }"
    printf '  launch to window %d ms: initialisation wait %d ms (specified), UI thread on a CPU %d ms,\n' \
        "$w" "$start_wait_ms" "$u"
    printf '    waiting for a CPU %d ms, asleep otherwise (device pauses, X server, files) %d ms\n' "$q" "$asleep"
    printf '  CPU to the window %d ms: UI thread %d ms, other threads (ms):%s\n' "$total_ms" "$u" "${threads:- none}"
done

printf 'median of %d runs: resident %s MB, CPU to the window %d ms (UI thread %d ms), launch to window %d ms\n' \
    "$runs" "$(mb "$(printf '%s\n' "${rss[@]}" | median)")" \
    "$(printf '%s\n' "${cpu[@]}" | median)" "$(printf '%s\n' "${ui_cpu[@]}" | median)" \
    "$(printf '%s\n' "${wall[@]}" | median)"

command -v strace > /dev/null || exit 0
trace=$(mktemp)
launcher=(strace -f -tt -qq -e trace=nanosleep,clock_nanosleep -o "$trace")
launch
wait_for_window
window_clock=$(date +%H:%M:%S.%N)
traced=$(< "/proc/$pid/task/$pid/children")
kill $traced; wait "$pid" 2>/dev/null || true
# The program's main thread is the UI thread: count its sleeps before the window by length.
awk -v until="$window_clock" -v ui="${traced%% *}" '
    function secs(t, p) { split(t, p, ":"); return p[1] * 3600 + p[2] * 60 + p[3] }
    $1 == ui && secs($2) <= secs(until) && match($0, /tv_sec=[0-9]+, tv_nsec=[0-9]+/) {
        split(substr($0, RSTART, RLENGTH), f, /[=,]/); ms = f[2] * 1000 + int(f[4] / 1000000)
        count[ms]++; total += ms
    }
    END {
        line = ""; for (ms in count) line = line sprintf(" %d ms x %d,", ms, count[ms])
        printf "UI thread pauses before the window (device exchanges, traced run): %d ms:%s\n", total, substr(line, 1, length(line) - 1)
    }' "$trace"
rm -rf "$home" "$trace"
