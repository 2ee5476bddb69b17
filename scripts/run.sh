#!/usr/bin/env bash
# Builds the library and runs its main job, inputscope, on its built-in session (arguments go to
# inputscope: a session file, --json, --svg FILE, ...; see docs/inputscope.md).
#
# Made for pipes: only inputscope writes to standard output. Set-up and build output go to
# standard error, and there is none when the build is up to date. Paths are the caller's: the
# script does not change folder for inputscope.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh" >&2
if [ ! -f "$root/build/default/build.ninja" ]; then
    (cd "$root" && cmake --preset default) >&2
fi
# Ninja's two lines for a build with nothing to do are no news. With pipefail the status is the
# build's (the filter always succeeds).
status=0
(cd "$root" && cmake --build --preset default --target gameinput_inputscope 2>&1) |
    { grep -v -x -e '\[0/2\] Re-checking globbed directories\.\.\.' -e 'ninja: no work to do\.' || true; } >&2 ||
    status=$?
if [ "$status" -ne 0 ]; then
    echo "run.sh: the build failed" >&2
    exit 1
fi
exec "$root/build/default/bin/inputscope" "$@"
