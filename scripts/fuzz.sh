#!/usr/bin/env bash
# Runs the manager's libFuzzer target for a bounded time: scripts/fuzz.sh [seconds] [libFuzzer
# options...]. Builds the fuzz preset first when its target is missing. New inputs go to
# build/fuzz/corpus (the committed seeds in fuzz/corpus are read, never written); a finding is
# written to build/fuzz/artifacts/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
target=build/fuzz/bin/manager_fuzz
if [ ! -x "$target" ]; then
    scripts/setup.sh
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$(nproc)"
fi
mkdir -p build/fuzz/corpus build/fuzz/artifacts

# Every report is fatal. A smaller quarantine keeps the memory of a long run flat; each input's
# heap blocks are still caught when used after their release.
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1}:quarantine_size_mb=32
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

log=build/fuzz/last_run.log
status=0
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/artifacts/ "$@" build/fuzz/corpus fuzz/corpus >"$log" 2>&1 ||
    status=$?
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)|^#[0-9]+ +DONE' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "manager_fuzz found a fault (exit $status); its report:"
    tail -n 80 "$log"
    ls -l build/fuzz/artifacts/
    exit "$status"
fi
