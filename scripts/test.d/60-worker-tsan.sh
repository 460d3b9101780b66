#!/usr/bin/env bash
# Builds the device worker and synchronisation tests with ThreadSanitizer (the tsan preset) and
# runs them; any data race report fails the run.
set -euo pipefail
source "$(dirname "$0")/../lib/common.sh"

tsan_dir="$QUILLON_ROOT/build-tsan"
if [ ! -f "$tsan_dir/CMakeCache.txt" ]; then
    cmake --preset tsan -S "$QUILLON_ROOT" >/dev/null
fi
cmake --build "$tsan_dir" -j "$QUILLON_JOBS" --target app_worker_tests device_sync_tests >/dev/null

status=0
for name in app_worker_tests device_sync_tests; do
    log="$tsan_dir/$name.tsan.log"
    if TSAN_OPTIONS="halt_on_error=1 ${TSAN_OPTIONS:-}" "$tsan_dir/bin/$name" >"$log" 2>&1; then
        quillon_log "$name under ThreadSanitizer: clean"
    else
        quillon_log "$name FAILED under ThreadSanitizer; see $log"
        grep -A 30 "ThreadSanitizer" "$log" | head -n 60 >&2 || tail -n 40 "$log" >&2
        status=1
    fi
done
exit $status
