#!/usr/bin/env bash
# Builds the library and runs its main job, inputscope, on its built-in session (arguments go to
# inputscope: a session file, --json, --svg FILE, ...; see docs/inputscope.md).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target inputscope
exec build/default/bin/inputscope "$@"
