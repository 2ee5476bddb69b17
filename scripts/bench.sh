#!/usr/bin/env bash
# The cost of the game's frame (update, then one read of every default action) with the pad and
# with the keyboard in use: instructions per frame from callgrind (the difference of two runs, so
# set-up does not count), nanoseconds from Google Benchmark, the owner's frame with reader
# threads, a 10,000-action table, the contexts layer's step with 200 and 2,000 mappings, the
# heap allocations of 10,000 steady frames (must be 0), and inputscope's peak memory and time per
# frame over ever longer sessions, for the table, the JSON and the SVG timeline (must stay flat;
# the timeline at most 64 MiB for a million frames).
# Usage: scripts/bench.sh [--quick]   (--quick: shorter timing runs)
set -euo pipefail
cd "$(dirname "$0")/.."
min_time=0.5
if [ "${1:-}" = "--quick" ]; then
    min_time=0.1
elif [ $# -gt 0 ]; then
    echo "usage: scripts/bench.sh [--quick]" >&2
    exit 2
fi
scripts/setup.sh valgrind time >&2
cmake --preset default >/dev/null
cmake --build --preset default --target gameinput_bench gameinput_frame_count gameinput_inputscope >&2
bin=build/default/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Instructions of `count` runs of a part under callgrind.
instructions() {
    local out="$work/callgrind.$1.$2.$3"
    valgrind --tool=callgrind --callgrind-out-file="$out" "$bin/input_frame_count" run "$1" "$2" "$3" \
        >/dev/null 2>&1
    awk '/^summary:/ {print $2}' "$out"
}

# Instructions of one steady run of a part: two counts, the difference over the extra runs.
per_run() {
    local device=$1 part=$2 low=$3 high=$4 a b
    a=$(instructions "$device" "$part" "$low")
    b=$(instructions "$device" "$part" "$high")
    echo $(((b - a) / (high - low)))
}

echo "== instructions (callgrind, steady runs)"
printf "%-9s %-14s %14s\n" device part instructions
for device in pad keyboard; do
    for part in frame update reads; do
        printf "%-9s %-14s %14s\n" "$device" "$part" "$(per_run "$device" "$part" 200 1200)"
    done
    printf "%-9s %-14s %14s\n" "$device" "update-10000" "$(per_run "$device" large-update 4 24)"
    # The contexts layer's step on top of the frame: at most 8,000 with 200 mappings, and at most
    # 10.5 times the 200-mapping figure with 2,000.
    frame=$(per_run "$device" frame 200 1200)
    for mappings in 200 2000; do
        with=$(per_run "$device" "contexts-$mappings" 200 1200)
        printf "%-9s %-14s %14s\n" "$device" "contexts-$mappings" "$((with - frame))"
    done
done

echo "== allocations over 10,000 steady frames"
status=0
for device in pad keyboard; do
    "$bin/input_frame_count" allocations "$device" 10000 || status=1
done

# Peak memory (KiB) and time per frame of inputscope over ever longer sessions, for one output:
# the table, the JSON or the SVG timeline. Flat: a hundred times the frames may not cost more
# than a fifth more memory; `cap` (KiB, optional) bounds the peak of the longest session.
inputscope_memory() {
    local what=$1 cap=${2:-0} peaks=() frames session peak seconds
    shift 2
    echo "== inputscope: peak memory and time per frame ($what)"
    printf "%-9s %12s %14s\n" frames "peak KiB" "us per frame"
    for frames in 10000 100000 1000000; do
        session="$work/frames_$frames.txt"
        : >"$session"
        for ((left = frames; left > 0; left -= 1000000)); do
            echo "frame $((left < 1000000 ? left : 1000000))" >>"$session"
        done
        /usr/bin/time -f "%M %e" -o "$work/time" "$bin/inputscope" --max-frames "$frames" "$@" \
            "$session" >/dev/null
        read -r peak seconds <"$work/time"
        peaks+=("$peak")
        printf "%-9s %12s %14s\n" "$frames" "$peak" "$(awk -v s="$seconds" -v n="$frames" \
            'BEGIN {printf "%.2f", s * 1e6 / n}')"
    done
    rm -f "$work/timeline.svg"
    if [ "${peaks[2]}" -gt $((peaks[0] * 6 / 5)) ]; then
        echo "inputscope's memory grows with the frames ($what): ${peaks[*]} KiB" >&2
        status=1
    fi
    if [ "$cap" -gt 0 ] && [ "${peaks[2]}" -gt "$cap" ]; then
        echo "inputscope ($what) takes ${peaks[2]} KiB for a million frames, above $cap" >&2
        status=1
    fi
}
inputscope_memory "table output" 0
inputscope_memory "JSON output" 0 --json
inputscope_memory "SVG timeline, at most 64 MiB" $((64 * 1024)) --svg "$work/timeline.svg"

echo "== time (Google Benchmark, ns per call)"
"$bin/input_bench" --benchmark_min_time="$min_time" --benchmark_format=console \
    --benchmark_counters_tabular=true
exit $status
