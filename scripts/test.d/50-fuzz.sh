#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and sanitizers and runs each for a bounded time from its
# committed seed corpus. A crash, leak or sanitizer report fails the run; the reproducer is kept
# in build-fuzz/artifacts/. FUZZ_SECONDS (default 20) bounds each target, FUZZ_SECONDS_<name>
# one target; set them higher for a longer hunt.
set -euo pipefail
source "$(dirname "$0")/../lib/common.sh"

# Per-target defaults; FUZZ_SECONDS or FUZZ_SECONDS_<name> in the environment override them.
: "${FUZZ_SECONDS_fuzz_xml_document:=${FUZZ_SECONDS:-60}}"

fuzz_dir="$QUILLON_ROOT/build-fuzz"
if ! ls "$QUILLON_ROOT"/fuzz/*.cmake >/dev/null 2>&1; then
    exit 0
fi
if [ ! -f "$fuzz_dir/CMakeCache.txt" ]; then
    cmake --preset fuzz -S "$QUILLON_ROOT" >/dev/null
fi
cmake --build "$fuzz_dir" -j "$QUILLON_JOBS" --target fuzzers >/dev/null

mkdir -p "$fuzz_dir/artifacts"
status=0
for target in "$fuzz_dir"/bin/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    seconds_var="FUZZ_SECONDS_$name"
    seconds=${!seconds_var:-${FUZZ_SECONDS:-20}}
    work="$fuzz_dir/corpus-run/$name"
    mkdir -p "$work"
    seeds="$QUILLON_ROOT/fuzz/corpus/$name"
    log="$fuzz_dir/$name.log"
    if "$target" -max_total_time="$seconds" -artifact_prefix="$fuzz_dir/artifacts/$name-" \
        "$work" $( [ -d "$seeds" ] && echo "$seeds" ) >"$log" 2>&1; then
        runs=$(grep -Eo 'Done [0-9]+ runs' "$log" | tail -n1)
        quillon_log "$name: ${runs:-ran} in ${seconds}s, nothing found"
    else
        quillon_log "$name FAILED; see $log"
        tail -n 40 "$log" >&2
        status=1
    fi
done
exit $status
