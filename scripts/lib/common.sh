# shellcheck shell=bash
# Shared by the scripts in scripts/: paths, logging and the location of the
# cross-built dependencies. Source it; it defines functions and variables only.

orvalux_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
orvalux_cache="${XDG_CACHE_HOME:-$HOME/.cache}/orvalux"

# Bump when the way the MinGW dependencies are built changes, so every machine
# rebuilds them instead of reusing a cache made by an older recipe.
orvalux_mingw_recipe_revision=1

# The native -dev packages whose Debian source packages we cross-build; the
# cache is keyed by their installed source versions.
orvalux_mingw_dev_packages=(libcurl4-openssl-dev libtinyxml-dev libcrypto++-dev)

# The fuzzers' compiler with its libFuzzer and sanitizer runtimes (scripts/fuzz).
orvalux_fuzz_packages=(clang libclang-rt-14-dev)

# Messages go to stderr, prefixed by the calling script's name, so stdout stays
# the program's own.
orvalux_log_name="${orvalux_log_name:-$(basename "$0")}"
log() { printf '%s: %s\n' "$orvalux_log_name" "$*" >&2; }
die() {
    log "error: $*"
    exit 1
}

# True when a Debian package is installed (not merely known or half-configured).
orvalux_package_installed() {
    [[ $(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null) == ii* ]]
}

# Prints "source-package-source-version" for one installed binary package.
orvalux_source_version_of() {
    orvalux_package_installed "$1" || return 1
    dpkg-query -W -f='${source:Package}-${source:Version}' "$1"
}

# Prints the cache key of the MinGW dependencies: the source versions of the
# installed -dev packages, the cross compiler's version and the recipe
# revision. Fails when one of those packages is not installed.
orvalux_mingw_deps_key() {
    local key="" package entry
    for package in "${orvalux_mingw_dev_packages[@]}" g++-mingw-w64-x86-64-posix; do
        entry="$(orvalux_source_version_of "$package")" || return 1
        key+="${entry}_"
    done
    key+="r${orvalux_mingw_recipe_revision}"
    # Epochs (1:) and tildes are legal in versions but awkward in paths.
    key="${key//:/-}"
    printf '%s\n' "${key//\~/-}"
}

orvalux_mingw_deps_dir() { printf '%s\n' "$orvalux_cache/mingw-deps"; }

# Prints the prefix (include/ and lib/) of the cross-built dependencies for
# the installed package versions, whether or not it has been built yet.
orvalux_mingw_prefix() {
    local key
    key="$(orvalux_mingw_deps_key)" || return 1
    printf '%s/%s\n' "$(orvalux_mingw_deps_dir)" "$key"
}

# A prefix counts only once its build finished: bootstrap writes the manifest
# last and moves the whole directory into place in one rename.
orvalux_mingw_prefix_complete() { [[ -f $1/manifest.txt ]]; }

# Runs a command as root: directly when we are root, else through sudo.
orvalux_as_root() {
    if [[ $(id -u) -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        die "need root to run: $*"
    fi
}

# Installs those of the given Debian packages that are missing; nothing when all
# are there. apt's own output goes to stderr: callers' stdout stays theirs.
orvalux_install_missing_packages() {
    local package
    local -a missing=()
    for package in "$@"; do
        orvalux_package_installed "$package" || missing+=("$package")
    done
    ((${#missing[@]} == 0)) && return 0
    log "installing ${missing[*]} ..."
    export DEBIAN_FRONTEND=noninteractive
    orvalux_as_root apt-get -o DPkg::Lock::Timeout=600 update >&2
    orvalux_as_root apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}" >&2
}

# Runs a command in the foreground and returns its exit code. A termination
# signal sent to the calling script alone (a timeout, a kill) is passed on to
# the command instead of leaving it running. Descriptor 9 (the Wine prefix
# lock, see wine.sh) is not handed down.
orvalux_run_forwarding_signals() {
    local child status
    "$@" <&0 9>&- &
    child=$!
    trap 'kill -TERM "$child" 2>/dev/null || true' INT TERM HUP
    while :; do
        status=0
        wait "$child" || status=$?
        kill -0 "$child" 2>/dev/null || break
    done
    trap - INT TERM HUP
    return "$status"
}
