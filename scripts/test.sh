#!/usr/bin/env bash
# Builds and runs every test suite: native, Windows under Wine with mingw-w64 and with clang in
# MSVC mode (each with the consumer project built against the install tree and through
# add_subdirectory), the live viewer under Wine on a virtual X display, ASan+UBSan, TSan, and
# bounded runs of the three fuzz targets. Any failure or
# sanitizer report fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

# Configures and builds a preset with warnings as errors.
build() {
    cmake --preset "$1" -DINPUT_WARNINGS_AS_ERRORS=ON >/dev/null
    cmake --build --preset "$1" -j "$jobs"
}

# A preset's build and its whole suite, timed.
suite() {
    local start=$SECONDS
    echo "== $1: $2"
    build "$1"
    ctest --preset "$1" -j "$jobs"
    echo "== $1 section: $((SECONDS - start)) s"
}

suite default "native (gcc)"

# A Windows preset's build and its suite under Wine, timed.
wine_suite() {
    local start=$SECONDS
    echo "== $1: $2"
    build "$1"
    # One Wine server for all the tests, stopped however ctest ends.
    wine_prefix=build/$1/wineprefix
    trap 'cmake/wine-run.sh "$wine_prefix" --stop' EXIT
    cmake/wine-run.sh "$wine_prefix" --start
    ctest --preset "$1" -j "$jobs"
    cmake/wine-run.sh "$wine_prefix" --stop
    trap - EXIT
    echo "== $1 section: $((SECONDS - start)) s"
}

wine_suite windows "mingw-w64 DLLs (GCC's C++ ABI), tests under Wine"
wine_suite windows-msvc "MSVC-ABI DLLs (clang in MSVC mode, lld-link), boundary, throw-through and consumer tests under Wine"

# The Windows viewer fed by real messages: Wine on a virtual X display, driven by xdotool.
live_start=$SECONDS
echo "== live: inputscope --live under Wine and Xvfb, its recording replayed natively"
tools/inputscope/tests/live_test.sh --required
echo "== live section: $((SECONDS - live_start)) s"

# Sanitizer runtimes: every report ends the program with a failure.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
suite asan "AddressSanitizer + UndefinedBehaviorSanitizer, no recovery"
suite tsan "ThreadSanitizer"

fuzz_start=$SECONDS
echo "== fuzz: libFuzzer, clang, ASan + UBSan, 60 s for each target"
build fuzz
scripts/fuzz.sh manager 60
scripts/fuzz.sh session 60
scripts/fuzz.sh profile 60
echo "== fuzz section: $((SECONDS - fuzz_start)) s"
