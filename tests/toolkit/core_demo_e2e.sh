#!/usr/bin/env bash
# Runs the sample dialog headless (a PNG of the window) and on GTK under its own Xvfb (a screenshot),
# checks that both pictures agree within a small tolerance, then clicks OK and expects result 1.
# Usage: core_demo_e2e.sh <core_demo binary>
set -uo pipefail
demo="$1"
work="$(mktemp -d)"
xvfb_pid=""
demo_pid=""

cleanup() {
    [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    echo "--- demo output:"
    cat "$work/out" 2>/dev/null
    exit 1
}

for tool in Xvfb xdotool import convert compare; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/packages/toolkit.txt lists it)"
        exit 77
    fi
done

TESSEL_BACKEND=headless "$demo" --snapshot "$work/headless.png" || fail "no headless snapshot"

display=""
for n in $(seq 161 230); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 50); do
            DISPLAY="$display" xdotool getdisplaygeometry >/dev/null 2>&1 && break
            sleep 0.1
        done
        if DISPLAY="$display" xdotool getdisplaygeometry >/dev/null 2>&1; then
            break
        fi
        kill "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
        display=""
    fi
done
[ -n "$display" ] || fail "no Xvfb display could be started"
export DISPLAY="$display"
unset TESSEL_BACKEND WAYLAND_DISPLAY

wait_for_output() {
    for _ in $(seq 100); do
        grep -qx "$1" "$work/out" && return 0
        sleep 0.1
    done
    fail "the demo never printed '$1'"
}

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
echo "sample dialog passed on $display"
