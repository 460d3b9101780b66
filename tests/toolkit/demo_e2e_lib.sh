# Shared by the GTK demo tests: a scratch folder, clean-up, a private Xvfb on a free display, and
# waiting for a line of the demo's output. Source it after setting `demo`; it defines `work`,
# `xvfb_pid` and `demo_pid` (the caller sets demo_pid when it starts the demo in the background).
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

# Exits with 77 (CTest's skip code) when a tool the test needs is missing.
require_tools() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed (scripts/packages/toolkit.txt lists it)"
            exit 77
        fi
    done
}

# Starts Xvfb on the first free display number in [first, last] (no lock file and no socket) and
# exports DISPLAY; the two tests use separate ranges so they can run at the same time.
start_private_xvfb() {
    local display=""
    for n in $(seq "$1" "$2"); do
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
}

wait_for_output() {
    for _ in $(seq 100); do
        grep -qx "$1" "$work/out" && return 0
        sleep 0.1
    done
    fail "the demo never printed '$1'"
}
