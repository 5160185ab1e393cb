# shellcheck shell=bash
# Wine and a virtual X display for running the Windows build on Linux. Source
# after common.sh. Everything runs in a private 64-bit prefix, so a user's own
# Wine setup is neither used nor changed.

export WINEPREFIX="${ORVALUX_WINEPREFIX:-$orvalux_cache/wineprefix}"
export WINEARCH=win64
# No debug chatter on the program's stderr, and no offer to install Mono or
# Gecko while the prefix is created (nothing here uses .NET or HTML). The
# package's Start-menu shortcut stays inside the prefix: Wine's menu builder
# would copy it into this machine's own desktop menus.
export WINEDEBUG="${ORVALUX_WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

# Programs in one prefix share its registry and named kernel objects, and the
# tests rely on both: a whole test run holds this lock exclusively
# (scripts/lib/wine-session), a single program shares it. The script holding
# it keeps it on file descriptor 9 and starts every process with that
# descriptor closed, so no Wine daemon can keep the lock after the script ends.
orvalux_wine_use_lock="$WINEPREFIX.use.lock"

# Takes the prefix lock on descriptor 9, "-s" shared or "-x" exclusive, and
# says so when it has to wait for it.
orvalux_wine_lock() {
    local mode="$1"
    exec 9>"$orvalux_wine_use_lock"
    if ! flock "$mode" -n 9; then
        if [[ $mode == -x ]]; then
            log "waiting for other Wine programs using $WINEPREFIX to finish ..."
        else
            log "waiting for the test run using $WINEPREFIX to finish ..."
        fi
        flock "$mode" 9
    fi
}

# Debian installs the 64-bit loader off PATH; the "wine" wrapper would prefer a
# 32-bit loader where one is installed.
orvalux_wine_loader() {
    local candidate
    for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
        if [[ -n $candidate && -x $candidate ]]; then
            printf '%s\n' "$candidate"
            return
        fi
    done
    die "Wine is not installed: run scripts/bootstrap"
}

orvalux_wineserver() {
    local candidate
    for candidate in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver "$(command -v wineserver || true)"; do
        if [[ -n $candidate && -x $candidate ]]; then
            printf '%s\n' "$candidate"
            return
        fi
    done
    die "wineserver is not installed: run scripts/bootstrap"
}

# Creates the prefix once per machine. Two runners may start together: the
# first builds it in a scratch directory under a lock and renames it into place,
# the other waits on the lock and then finds it ready.
orvalux_wine_prefix_ready() {
    [[ -f $WINEPREFIX/system.reg ]] && return
    local lock scratch loader server
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec {lock}>"$WINEPREFIX.lock"
    flock "$lock"
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        log "creating the Wine prefix $WINEPREFIX (once per machine)"
        loader="$(orvalux_wine_loader)"
        server="$(orvalux_wineserver)"
        rm -rf "$WINEPREFIX" "$WINEPREFIX".init-*
        scratch="$(mktemp -d "$WINEPREFIX.init-XXXXXX")"
        # wineboot works without a display; keep it from touching one anyway.
        if ! WINEPREFIX="$scratch" DISPLAY='' "$loader" wineboot.exe --init >/dev/null 2>&1 {lock}>&- 9>&- ||
            ! WINEPREFIX="$scratch" "$server" -w {lock}>&- 9>&-; then
            rm -rf "$scratch"
            exec {lock}>&-
            die "creating the Wine prefix failed"
        fi
        mv -T "$scratch" "$WINEPREFIX"
    fi
    exec {lock}>&-
}

# Starts a private Xvfb on a display number the server itself picks as free,
# and sets orvalux_xvfb_pid and DISPLAY. The screen is large enough for two
# full-HD displays side by side and one above.
orvalux_xvfb_start() {
    local ready_file waited=0
    command -v Xvfb >/dev/null || die "Xvfb is not installed: run scripts/bootstrap"
    ready_file="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 3840x2160x24 -nolisten tcp 3>"$ready_file" >/dev/null 2>&1 9>&- &
    orvalux_xvfb_pid=$!
    # Xvfb writes the display number once it accepts connections.
    until [[ -s $ready_file ]]; do
        if ! kill -0 "$orvalux_xvfb_pid" 2>/dev/null || ((waited >= 200)); then
            rm -f "$ready_file"
            orvalux_xvfb_stop
            die "could not start Xvfb"
        fi
        sleep 0.05
        waited=$((waited + 1))
    done
    DISPLAY=":$(head -n 1 "$ready_file")"
    export DISPLAY
    rm -f "$ready_file"
}

orvalux_xvfb_stop() {
    if [[ -n ${orvalux_xvfb_pid:-} ]]; then
        kill "$orvalux_xvfb_pid" 2>/dev/null || true
        wait "$orvalux_xvfb_pid" 2>/dev/null || true
        orvalux_xvfb_pid=
    fi
}

# Stops a display this script started, once Wine's helper processes (which
# linger a few seconds after the program) have let go of it: killing it under
# them makes them print "X connection broken" into the program's output.
orvalux_wine_wait_then_stop_xvfb() {
    if [[ -n ${orvalux_xvfb_pid:-} ]]; then
        timeout 15 "$(orvalux_wineserver)" -w 2>/dev/null 9>&- || true
        orvalux_xvfb_stop
    fi
}

