# Shared by scripts/run and scripts/test. Source it; it defines functions only.

QUILLON_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
QUILLON_BUILD_DIR=${QUILLON_BUILD_DIR:-$QUILLON_ROOT/build}
QUILLON_JOBS=${QUILLON_JOBS:-$(nproc 2>/dev/null || echo 2)}

quillon_log() { printf 'quillon: %s\n' "$*" >&2; }

# Runs a command as root: directly when we are root, through sudo otherwise.
quillon_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        quillon_log "need root (or sudo) to run: $*"
        return 1
    fi
}

# Installs every Debian package named in scripts/packages/*.txt that is not installed yet.
# Quiet and quick when everything is there.
quillon_install_deps() {
    local wanted missing=()
    wanted=$(grep -hv '^\s*#' "$QUILLON_ROOT"/scripts/packages/*.txt | awk 'NF { print $1 }' | sort -u)
    for pkg in $wanted; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    quillon_log "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    quillon_as_root apt-get update -qq || return 1
    quillon_as_root apt-get install -y -qq "${missing[@]}" >/dev/null || return 1
}

# Configures (once) and builds the tree in $QUILLON_BUILD_DIR; extra arguments go to the build.
quillon_build() {
    if [ ! -f "$QUILLON_BUILD_DIR/CMakeCache.txt" ]; then
        cmake -S "$QUILLON_ROOT" -B "$QUILLON_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || return 1
    fi
    cmake --build "$QUILLON_BUILD_DIR" -j "$QUILLON_JOBS" "$@"
}
