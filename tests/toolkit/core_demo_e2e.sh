#!/usr/bin/env bash
# Runs the sample dialog headless (a PNG of the window) and on GTK under its own Xvfb (a screenshot),
# checks that both pictures agree within a small tolerance, then clicks OK and expects result 1.
# Usage: core_demo_e2e.sh <core_demo binary>
set -uo pipefail
demo="$1"
source "$(dirname "$0")/demo_e2e_lib.sh"
require_tools Xvfb xdotool import convert compare

TESSEL_BACKEND=headless "$demo" --snapshot "$work/headless.png" || fail "no headless snapshot"

start_private_xvfb 161 230

xdotool mousemove 1000 700
"$demo" >"$work/out" 2>&1 &
demo_pid=$!
wait_for_output ready
xdotool search --sync --name "Tessel sample dialog" >/dev/null || fail "no dialog window"
sleep 0.5

# The dialog is at (60, 60), 480 x 320; compare its part of the screen with the headless picture.
import -window root "$work/screen.png" || fail "no screenshot"
convert "$work/screen.png" -crop 480x320+60+60 +repage "$work/gtk.png"
convert "$work/headless.png" -background black -alpha remove -alpha off "$work/headless_flat.png"
differing=$(compare -metric AE -fuzz 3% "$work/headless_flat.png" "$work/gtk.png" null: 2>&1)
differing=${differing%%.*}
# Text edges may be smoothed a little differently on screen; shapes and colours must agree.
[ "${differing:-999999}" -le 1500 ] || fail "GTK and headless pictures differ in $differing pixels"
echo "ok: screenshots agree ($differing pixels differ)"

xdotool mousemove 260 330 click 1
wait_for_output "result 1"
for _ in $(seq 50); do
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.1
done
wait "$demo_pid"
status=$?
demo_pid=""
[ $status -eq 0 ] || fail "the demo exited with $status"
echo "sample dialog passed on $DISPLAY"
