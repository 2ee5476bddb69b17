#!/usr/bin/env bash
# Builds the library and runs its main job on the built-in default.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target input_example
exec build/default/bin/input_example "$@"
