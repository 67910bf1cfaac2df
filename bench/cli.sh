#!/usr/bin/env bash
# zorvanctl's commands as a user runs them, whole processes against the emulated mouse (1 ms
# answer latency) kept in a state file: wall time from start to exit, the mean of RUNS runs
# after one warm-up run. Targets:
#   set rate 500        at most 0.4 s   (reads the settings part of the profile only)
#   assign 5 left       at most 0.5 s   (reads that key's areas only)
#   read                for comparison  (the whole profile)
#   backup FILE         at most 3.7 times read's time   (each of the four profiles read once)
#   restore FILE        at most 3.0 times read's time   (the four written and checked, the
#                                                        active one read back)
# Uses hyperfine when it is installed, else a loop timed with date.
#
# Usage: bench/cli.sh [BUILD_DIR]      RUNS=10
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
program=$(cd "$build/bin" && pwd)/zorvanctl
runs=${RUNS:-10}
[[ -x $program ]] || { echo "no $program: build first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work  # the log's desktop folder
zorvanctl=("$program" --app-dir "$here/data" --data-dir "$work/data" "--emulate=$work/mouse.state")
"${zorvanctl[@]}" read > /dev/null

failed=0
# measure NAME TARGET_MS ARGS...: prints the mean wall time (also left in mean_ms) and the verdict.
mean_ms=0
measure() {
    local name=$1 target=$2
    shift 2
    if command -v hyperfine > /dev/null; then
        hyperfine --warmup 1 --runs "$runs" --export-json "$work/h.json" --style none \
            "$(printf '%q ' "${zorvanctl[@]}" "$@")" > /dev/null
        mean_ms=$(python3 -c 'import json,sys; print(round(json.load(open(sys.argv[1]))["results"][0]["mean"]*1000))' "$work/h.json")
    else
        "${zorvanctl[@]}" "$@" > /dev/null 2> "$work/err" || { cat "$work/err" >&2; exit 1; }
        local start end
        start=$(date +%s%N)
        for ((i = 0; i < runs; ++i)); do
            "${zorvanctl[@]}" "$@" > /dev/null 2> "$work/err" ||
                { cat "$work/err" >&2; echo "$name: failed" >&2; exit 1; }
        done
        end=$(date +%s%N)
        mean_ms=$(((end - start) / runs / 1000000))
    fi
    local verdict="(no target)"
    if [[ $target -gt 0 ]]; then
        if [[ $mean_ms -le $target ]]; then verdict="ok (target ${target} ms)"; else verdict="ABOVE target ${target} ms"; failed=1; fi
    fi
    printf '%-16s %5d ms  %s\n' "$name" "$mean_ms" "$verdict"
}

measure "set rate 500" 400 set rate 500
measure "assign 5 left" 500 assign 5 left
measure "read" 0 read
read_ms=$mean_ms
"${zorvanctl[@]}" backup "$work/mouse.zvb" > /dev/null 2>&1
measure "backup" $((read_ms * 37 / 10)) backup "$work/mouse.zvb"
measure "restore" $((read_ms * 3)) restore "$work/mouse.zvb"
exit $failed
