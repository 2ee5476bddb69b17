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
