# shellcheck shell=bash
# Fetches Debian source packages through a private apt state, so the system's
# apt sources and lists stay untouched. Source after common.sh.

orvalux_apt_dir="$orvalux_cache/apt"

orvalux_apt_options() {
    printf '%s\n' \
        -o "Dir::Etc::SourceList=$orvalux_apt_dir/sources.list" \
        -o "Dir::Etc::SourceParts=$orvalux_apt_dir/sources.list.d" \
        -o "Dir::State=$orvalux_apt_dir/state" \
        -o "Dir::State::Lists=$orvalux_apt_dir/state/lists" \
        -o "Dir::State::status=/var/lib/dpkg/status" \
        -o "Dir::Cache=$orvalux_apt_dir/cache" \
        -o "APT::Get::List-Cleanup=false"
}

# Derives deb-src entries from the machine's enabled apt sources (the files apt
# itself reads, one-line and deb822 alike) and refreshes the private source
# indexes. Output goes to the log file $1.
orvalux_apt_prepare_sources() {
    local log_file="$1" source_list source_parts
    local -a files=() options=()
    eval "$(apt-config shell source_list Dir::Etc::sourcelist/f source_parts Dir::Etc::sourceparts/d)"
    [[ -n ${source_list:-} && -f $source_list ]] && files+=("$source_list")
    if [[ -n ${source_parts:-} && -d $source_parts ]]; then
        shopt -s nullglob
        files+=("$source_parts"/*.list "$source_parts"/*.sources)
        shopt -u nullglob
    fi
    rm -rf "$orvalux_apt_dir/sources.list.d"
    mkdir -p "$orvalux_apt_dir/sources.list.d" "$orvalux_apt_dir/state/lists/partial" \
        "$orvalux_apt_dir/cache/archives/partial"
    : >"$orvalux_apt_dir/sources.list"
    python3 "$orvalux_root/scripts/lib/deb_src_sources.py" "$orvalux_apt_dir/sources.list.d" "${files[@]}" ||
        return 1
    mapfile -t options < <(orvalux_apt_options)
    # A third-party archive without source indexes makes update complain; the
    # fetch below tells whether what we need is there.
    apt-get "${options[@]}" update >>"$log_file" 2>&1 ||
        log "warning: refreshing the source indexes reported errors (see $log_file)"
}

# Downloads and unpacks source package $1 at version $2 into directory $3 (as
# $3/<package>-<upstream version>/) and prints that directory. When the archive
# no longer offers that version (the installed -dev package is older than the
# mirror), falls back to the version the archive offers and says so.
orvalux_apt_fetch_source() {
    local package="$1" version="$2" into="$3" log_file="$4" dsc
    local -a options=()
    mapfile -t options < <(orvalux_apt_options)
    mkdir -p "$into/download"
    if ! (cd "$into/download" && apt-get "${options[@]}" source --download-only "$package=$version") \
        >>"$log_file" 2>&1; then
        log "warning: the archive no longer offers $package $version; building its current version instead" \
            "(upgrade the -dev packages to match)"
        (cd "$into/download" && apt-get "${options[@]}" source --download-only "$package") \
            >>"$log_file" 2>&1 || return 1
    fi
    local -a dscs=("$into/download"/*.dsc)
    dsc="${dscs[0]}"
    # apt has verified these files against the signed source index; dpkg-source
    # still checks their checksums against the .dsc and applies Debian's patches.
    (cd "$into" && dpkg-source -x "$dsc" unpacked) >>"$log_file" 2>&1 || return 1
    printf '%s\n' "$into/unpacked"
}

# Prints the version recorded in an unpacked source package's changelog.
orvalux_unpacked_version() {
    dpkg-parsechangelog -l "$1/debian/changelog" -S Version 2>/dev/null
}
