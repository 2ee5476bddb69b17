#!/usr/bin/env bash
# The live viewer through the X server: the Windows inputscope runs under Wine on a virtual X
# display, xdotool moves the mouse and presses keys, and the run's JSON must show what was done
# (tests/live_check.cpp lists the drive and the checks); the session it recorded must replay
# natively to the same frames. Then the viewer's pictures: --watch and --live screenshots, read
# pixel by pixel by tests/screenshot_check.cpp.
#   live_test.sh [--required]   from the source tree, after the default and windows builds
# Without Xvfb, xdotool, Wine or the builds it says SKIP and why, and fails if --required.
set -euo pipefail
cd "$(dirname "$0")/../../.."

required=0
[ "${1:-}" = "--required" ] && required=1
wine=${WINE:-/usr/lib/wine/wine64}
exe=build/windows/bin/inputscope.exe
native=build/default/bin/inputscope
check=build/default/bin/inputscope_live_check
shot=build/default/bin/inputscope_screenshot_check
prefix=build/windows/wineprefix

skip() {
    if ((required)); then echo "FAIL: live_test: cannot run: $1"; else echo "SKIP: live_test: $1"; fi
    exit $((required ? 1 : 0))
}
command -v Xvfb >/dev/null || skip "no Xvfb (Debian package xvfb)"
command -v xdotool >/dev/null || skip "no xdotool (Debian package xdotool)"
[ -x "$wine" ] || skip "no Wine at $wine (Debian package wine64)"
for f in "$exe" "$native" "$check" "$shot"; do
    [ -f "$f" ] || skip "$f is not built (build the default and windows presets)"
done

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    cmake/wine-run.sh "$prefix" --stop || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display nobody uses: Xvfb picks it and says which.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
echo "live_test: X display $DISPLAY"

# A Wine server started afresh with the display, so its helper processes know it too.
cmake/wine-run.sh "$prefix" --stop
cmake/wine-run.sh "$prefix" --start

seconds=16
start=$SECONDS
cmake/wine-run.sh "$prefix" "$exe" --live --json --seconds "$seconds" --record "$work/s.txt" \
    >"$work/live.json" 2>"$work/live.err" &
run_pid=$!

# The window appears once Wine has started the program; the run's clock starts with it.
window=$(timeout 60 xdotool search --sync --name '^inputscope live$' | head -n1) || true
[ -n "$window" ] || { cat "$work/live.err"; echo "FAIL: the window did not appear"; exit 1; }
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 300 180 # Wine sends mouse records only over its windows
sleep 1

xdotool mousemove_relative -- 40 0
sleep 0.4
xdotool mousemove_relative -- 0 -30
sleep 0.4
xdotool mousemove_relative -- -25 15
sleep 0.4
xdotool click 4 # one notch up
sleep 0.4
xdotool mousedown 3 # the right button, held for several frames
sleep 0.5
xdotool mouseup 3
sleep 0.4
for key in Tab r; do
    xdotool keydown "$key"
    sleep 0.25
    xdotool keyup "$key"
    sleep 0.4
done
xdotool keydown space
sleep 1
xdotool keyup space
driven=$((SECONDS - start))

rc=0
wait "$run_pid" || rc=$?
cat "$work/live.err"
[ "$rc" -eq 0 ] || { echo "FAIL: inputscope --live exited with $rc"; exit 1; }
[ "$driven" -lt "$seconds" ] || echo "live_test: warning: the drive took ${driven} s of ${seconds}"

"$native" --json "$work/s.txt" >"$work/replay.json"
echo "live_test: recorded session $(wc -l <"$work/s.txt") lines; the drive took ${driven} s"
"$check" "$work/live.json" "$work/replay.json"

# --watch: pad A held with the left stick pushed right at frame 15 (1280x720, the default size),
# nothing held at frame 25 (800x600).
watch=tools/inputscope/tests/watch.txt
cmake/wine-run.sh "$prefix" "$exe" --watch "$watch" --screenshot "$work/watch15.bmp" --at-frame 15
"$shot" "$work/watch15.bmp" "$watch" 15 lit:pad0.A unlit:pad0.B stick-right:pad0.LS \
    stick-centred:pad0.RS
cmake/wine-run.sh "$prefix" "$exe" --watch "$watch" --size 800x600 --screenshot \
    "$work/watch25.bmp" --at-frame 25
"$shot" "$work/watch25.bmp" "$watch" 25 unlit:pad0.A stick-centred:pad0.LS

# --watch played by its keys: pause, back to the start, three steps on and one back; closed, it
# names the frame it showed last.
cmake/wine-run.sh "$prefix" "$exe" --watch "$watch" >/dev/null 2>"$work/watch.err" &
run_pid=$!
window=$(timeout 60 xdotool search --sync --name '^inputscope watch$' | head -n1) || true
[ -n "$window" ] || { cat "$work/watch.err"; echo "FAIL: the watch window did not appear"; exit 1; }
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key space Home Right Right Right Left
sleep 0.5
xdotool key alt+F4
rc=0
wait "$run_pid" || rc=$?
cat "$work/watch.err"
grep -q "frame 3 of 30 on screen at the end" "$work/watch.err" && [ "$rc" -eq 0 ] ||
    { echo "FAIL: --watch did not step to frame 3 and close (exit $rc)"; exit 1; }
echo "ok: --watch pauses, restarts, steps on and back, and closes"

# --live: Space held from a second after the window has the focus (Wine takes keys only then)
# until the picture of frame 240 (4 s).
printf 'focus on\ngame on\nkeys Space\nframe 10\n' >"$work/space.txt" # the same, replayed
cmake/wine-run.sh "$prefix" "$exe" --live --size 800x600 --screenshot "$work/live.bmp" \
    --at-frame 240 >/dev/null 2>"$work/shot.err" &
run_pid=$!
window=$(timeout 60 xdotool search --sync --name '^inputscope live$' | head -n1) || true
[ -n "$window" ] || { cat "$work/shot.err"; echo "FAIL: the window did not appear"; exit 1; }
xdotool windowfocus --sync "$window"
sleep 1
xdotool keydown space
rc=0
wait "$run_pid" || rc=$?
xdotool keyup space
[ "$rc" -eq 0 ] || { cat "$work/shot.err"; echo "FAIL: inputscope --live --screenshot exited with $rc"; exit 1; }
"$shot" "$work/live.bmp" "$work/space.txt" 10 lit:action.PHOTOMODE_UP unlit:action.ABORT_VIDEO \
    unlit:action.MENU_A
echo "live_test: OK"
