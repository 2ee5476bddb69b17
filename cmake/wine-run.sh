#!/usr/bin/env bash
# Runs a Windows program under Wine:  wine-run.sh PREFIX PROGRAM [ARGS...]
#   wine-run.sh PREFIX --start   creates the prefix if needed and starts a persistent server
#   wine-run.sh PREFIX --stop    stops that server
# Without a running server every program pays Wine's start-up (seconds); ctest works either way.
set -euo pipefail

prefix=$(realpath -m "$1") # Wine wants an absolute prefix
shift
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}

export WINEPREFIX=$prefix
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs .NET or HTML.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# Wine's service processes (services.exe, winedevice.exe, ...) start with the first program and
# inherit its descriptors; they outlive it while a server runs. So programs write to files, never
# to the caller's pipes, or the caller (ctest, test discovery) waits for those services to end.
run() {
    local rc=0
    "$wine" "$@" </dev/null >"$out" 2>"$err" || rc=$?
    cat "$out"
    cat "$err" >&2
    return $rc
}

# Created once, serialised so that parallel tests share one prefix.
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$(dirname "$prefix")"
    exec 9>"$prefix.lock"
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
        if ! "$wine" wineboot -i </dev/null >"$out" 2>&1; then
            cat "$out" >&2
            exit 1
        fi
        "$wineserver" -w
    fi
    flock -u 9
    exec 9>&-
fi

case "${1:-}" in
--start)
    # Fails only when a server already runs for the prefix; that one serves as well.
    "$wineserver" -p 2>/dev/null || true
    run cmd /c exit # starts the services now, detached from any caller's pipe
    exit 0
    ;;
--stop)
    "$wineserver" -k 2>/dev/null || true
    exit 0
    ;;
esac
run "$@"
