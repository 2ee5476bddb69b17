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
