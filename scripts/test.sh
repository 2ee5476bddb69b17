#!/usr/bin/env bash
# Builds and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

echo "== native (gcc, warnings as errors)"
cmake --preset default -DINPUT_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== windows (mingw-w64 DLLs, tests under Wine, warnings as errors)"
windows_start=$SECONDS
cmake --preset windows -DINPUT_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build --preset windows -j "$jobs"
# One Wine server for all the tests, stopped however ctest ends.
wine_prefix=build/windows/wineprefix
trap 'cmake/wine-run.sh "$wine_prefix" --stop' EXIT
cmake/wine-run.sh "$wine_prefix" --start
ctest --preset windows -j "$jobs"
cmake/wine-run.sh "$wine_prefix" --stop
trap - EXIT
echo "== windows section: $((SECONDS - windows_start)) s"

# Sanitizer runtimes: every report ends the program with a failure.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

echo "== asan (AddressSanitizer + UndefinedBehaviorSanitizer, no recovery)"
asan_start=$SECONDS
cmake --preset asan -DINPUT_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"
echo "== asan section: $((SECONDS - asan_start)) s"

echo "== tsan (ThreadSanitizer)"
tsan_start=$SECONDS
cmake --preset tsan -DINPUT_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"
echo "== tsan section: $((SECONDS - tsan_start)) s"

echo "== fuzz (libFuzzer, clang, ASan + UBSan, 60 s)"
fuzz_start=$SECONDS
cmake --preset fuzz -DINPUT_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build --preset fuzz -j "$jobs"
scripts/fuzz.sh 60
echo "== fuzz section: $((SECONDS - fuzz_start)) s"
