#!/usr/bin/env bash
# Runs the platform demo on GTK under its own Xvfb, drives it with xdotool, and checks pixels of
# screenshots at known places: shapes, the mouse marker, the edit window, the modal dialog.
# Usage: platform_demo_e2e.sh <platform_demo binary>
set -uo pipefail
demo="$1"
source "$(dirname "$0")/demo_e2e_lib.sh"
require_tools Xvfb xdotool import convert

start_private_xvfb 90 160

# Checks the colour at a screen point, within a small tolerance: pixel <name> <x> <y> <r> <g> <b>
pixel() {
    local shot="$work/shot.png"
    import -window root "$shot" || fail "no screenshot"
    local rgb
    rgb=$(convert "$shot" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info:)
    read -r r g b <<<"$rgb"
    for pair in "$r $4" "$g $5" "$b $6"; do
        read -r got want <<<"$pair"
        [ $((got > want ? got - want : want - got)) -le 3 ] || fail "$1 at ($2,$3) is ($rgb), expected ($4 $5 $6)"
    done
    echo "ok: $1"
}

"$demo" >"$work/out" 2>&1 &
demo_pid=$!
wait_for_output ready
xdotool search --sync --name "Tessel demo" >/dev/null || fail "no demo window"
sleep 0.5

# The window is at (40, 40): shapes and background at known places, nothing outside it.
xdotool mousemove 300 300
sleep 0.5
pixel "red rectangle" 100 120 224 64 64
pixel "green ellipse" 200 120 64 192 96
pixel "background" 660 420 32 36 44
pixel "mouse marker" 300 300 255 192 0
pixel "outside the window" 900 700 0 0 0

# Typing into the edit window.
xdotool mousemove 100 384 click 1
sleep 0.3
xdotool type --delay 40 "hi42"
wait_for_output "typed hi42"
pixel "edit background" 340 384 255 255 255

# The clipboard and control keys in the edit window: copy all, paste at the end.
xdotool key ctrl+a ctrl+c End ctrl+v
wait_for_output "typed hi42hi42"

# The modal dialog returns its result.
xdotool mousemove 560 390 click 1
xdotool search --sync --name "Tessel dialog" >/dev/null || fail "no dialog window"
sleep 0.5
pixel "dialog OK button" 290 260 58 110 165
xdotool key Return
wait_for_output "dialog result 1"

xdotool key Escape
for _ in $(seq 50); do
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$demo_pid" 2>/dev/null; then
    fail "the demo did not quit on Escape"
fi
wait "$demo_pid"
status=$?
demo_pid=""
[ $status -eq 0 ] || fail "the demo exited with $status"
echo "platform demo passed on $DISPLAY"
