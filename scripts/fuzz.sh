#!/usr/bin/env bash
# Runs a libFuzzer target for a bounded time: scripts/fuzz.sh [manager|session|profile] [seconds]
# [libFuzzer options...]. manager (the default) drives the input manager, session feeds
# inputscope's session parser, profile the bindings profile's reader. Builds the fuzz preset
# first when the target is missing. New inputs go to build/fuzz/corpus (manager) or
# build/fuzz/<target>_corpus (the committed or generated seeds are read, never written); a
# finding is written to build/fuzz/artifacts/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."

name=manager
case "${1:-}" in
manager | session | profile)
    name=$1
    shift
    ;;
esac
seconds=${1:-60}
shift || true
target=build/fuzz/bin/${name}_fuzz
if [ ! -x "$target" ] || [ ! -d build/fuzz/session_seeds ]; then
    scripts/setup.sh
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$(nproc)"
fi
if [ "$name" = manager ]; then
    corpus=build/fuzz/corpus
    seeds=(fuzz/corpus)
    extra=()
elif [ "$name" = session ]; then
    corpus=build/fuzz/session_corpus
    seeds=(build/fuzz/session_seeds)
    extra=(-dict=fuzz/session.dict -max_len=4096)
else
    corpus=build/fuzz/profile_corpus
    seeds=(fuzz/profile_corpus)
    extra=(-dict=fuzz/profile.dict -max_len=8192)
fi
mkdir -p "$corpus" build/fuzz/artifacts

# Every report is fatal. A smaller quarantine keeps the memory of a long run flat; each input's
# heap blocks are still caught when used after their release.
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1}:quarantine_size_mb=32
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

log=build/fuzz/last_${name}_run.log
status=0
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/artifacts/ "${extra[@]}" "$@" "$corpus" "${seeds[@]}" >"$log" 2>&1 ||
    status=$?
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)|^#[0-9]+ +DONE' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "${name}_fuzz found a fault (exit $status); its report:"
    tail -n 80 "$log"
    ls -l build/fuzz/artifacts/
    exit "$status"
fi
