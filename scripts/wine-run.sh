#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, headless if need be.
#
#   wine-run.sh [--state DIR] PROGRAM.exe [ARGS...]   run one program, exit with its status
#   wine-run.sh [--state DIR] --host COMMAND [ARGS...] run a Linux command (a script that
#                                                     drives a program with xdotool, say) in
#                                                     the same session: DISPLAY, WINEPREFIX
#   wine-run.sh [--state DIR] --stop                  end the Wine session and its display
#
# DIR (default: $SORRELWICK_WINE_STATE, else build-windows/wine) holds a Wine
# prefix of our own, created on first use, so nothing in the user's ~/.wine is
# touched. One Wine session (a lingering wineserver) and, when DISPLAY is not
# set, one Xvfb display serve every program run against the same DIR; a
# watcher ends both once no program has run for $SORRELWICK_WINE_LINGER
# seconds (default 60). CTest uses this script as the cross-compiling emulator.
# DIR/arch, written by the build's configure step, says "win64" for a 64-bit
# build: its programs then run under the 64-bit loader in a 64-bit prefix, and
# `wine` and `wineboot` name that loader for --host commands too.
set -euo pipefail

script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
state=${SORRELWICK_WINE_STATE:-$script_dir/../build-windows/wine}
if [[ ${1:-} == --state ]]; then
    state=$2
    shift 2
fi
linger=${SORRELWICK_WINE_LINGER:-60}

usage() {
    sed -n '2,8s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
    exit 2
}
[[ $# -ge 1 ]] || usage

mkdir -p "$state"
state=$(cd "$state" && pwd)
export WINEPREFIX=$state/prefix
export WINEARCH=win32
if [[ -s $state/arch && $(cat "$state/arch") == win64 ]]; then
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    # Debian's `wine` prefers the 32-bit loader whenever it is installed.
    # Programs may run side by side: each script is written once, whole, and
    # moved into place, never rewritten while another run executes it.
    if [[ ! -x $state/bin/wineboot ]]; then
        mkdir -p "$state/bin"
        printf '#!/bin/sh\nexec %s "$@"\n' "$WINELOADER" >"$state/bin/wine.$$"
        printf '#!/bin/sh\nexec %s wineboot "$@"\n' "$WINELOADER" >"$state/bin/wineboot.$$"
        chmod +x "$state/bin/wine.$$" "$state/bin/wineboot.$$"
        mv -f "$state/bin/wine.$$" "$state/bin/wine"
        mv -f "$state/bin/wineboot.$$" "$state/bin/wineboot"
    fi
    export PATH=$state/bin:$PATH
fi
export WINEDEBUG=-all
# No prompts to install Wine's .NET and HTML engines: nothing of ours needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="

lock=$state/lock
display_file=$state/display
xvfb_pid_file=$state/xvfb.pid
last_use=$state/last-use

# Runs a command with none of our descriptors, so that nothing it leaves
# running holds the session lock or a caller's output pipe.
detached() {
    setsid "$@" </dev/null >>"$state/session.log" 2>&1 9>&- &
}

own_display_alive() {
    [[ -s $display_file && -s $xvfb_pid_file ]] && kill -0 "$(cat "$xvfb_pid_file")" 2>/dev/null
}

start_display() {
    rm -f "$display_file"
    # Xvfb picks a free display number itself and writes it when ready.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        3>"$display_file.new" </dev/null >>"$state/session.log" 2>&1 9>&- &
    echo $! >"$xvfb_pid_file"
    for _ in $(seq 100); do
        if [[ -s $display_file.new ]]; then
            mv "$display_file.new" "$display_file"
            return 0
        fi
        kill -0 "$(cat "$xvfb_pid_file")" 2>/dev/null || break
        sleep 0.1
    done
    echo "wine-run: could not start Xvfb (see $state/session.log)" >&2
    exit 1
}

# Ends the Wine session and our display. Call with the lock held exclusively.
stop_session() {
    wineserver -k >/dev/null 2>&1 9>&- || true
    if [[ -s $xvfb_pid_file ]]; then
        kill "$(cat "$xvfb_pid_file")" 2>/dev/null || true
    fi
    rm -f "$display_file" "$xvfb_pid_file"
}

# The watcher: every few seconds, when no program holds the lock and none has
# run for a while, ends the session. When the state folder goes away (a build
# folder deleted) it still ends the display it was started for.
start_watcher() {
    detached bash -c '
        cd "$1" || exit 0
        linger=$2 xvfb=$3
        while sleep 5; do
            if [[ ! -f xvfb.pid ]]; then
                [[ $(tr "\0" " " </proc/$xvfb/cmdline 2>/dev/null) == Xvfb* ]] &&
                    kill "$xvfb"
                exit 0
            fi
            exec 8>lock
            if flock -xn 8; then
                idle=$(( $(date +%s) - $(stat -c %Y last-use 2>/dev/null || echo 0) ))
                if (( idle >= linger )); then
                    wineserver -k >/dev/null 2>&1 8>&-
                    kill "$xvfb" 2>/dev/null
                    rm -f display xvfb.pid
                    exit 0
                fi
            fi
            exec 8>&-
        done' watcher "$state" "$linger" "$(cat "$xvfb_pid_file")"
}

exec 9>"$lock"
flock -x 9

if [[ $1 == --stop ]]; then
    stop_session
    exit 0
fi

if [[ $1 == --host ]]; then
    shift
    [[ $# -ge 1 ]] || usage
    command=("$@")
else
    [[ -f $1 ]] || { echo "wine-run: no such program: $1" >&2; exit 2; }
    command=(wine "$@")
fi

if [[ -z ${DISPLAY:-} ]]; then
    if ! own_display_alive; then
        # A session started on a display that has gone cannot open windows.
        wineserver -k >/dev/null 2>&1 9>&- || true
        start_display
        touch "$last_use"
        start_watcher
    fi
    export DISPLAY=":$(cat "$display_file")"
fi

if [[ ! -f $state/prefix-ready ]]; then
    echo "wine-run: creating the Wine prefix $WINEPREFIX" >&2
    wineserver -k >/dev/null 2>&1 9>&- || true
    rm -rf "$WINEPREFIX"
    # Waiting for the server to end writes the new registry to disk.
    if ! { wineboot -i && wineserver -w; } </dev/null >>"$state/session.log" 2>&1 9>&-; then
        echo "wine-run: could not create the Wine prefix (see $state/session.log)" >&2
        exit 1
    fi
    touch "$state/prefix-ready"
fi
# The server lingers between programs, so each run skips Wine's start-up.
wineserver -p"$linger" </dev/null >>"$state/session.log" 2>&1 9>&- || true
touch "$last_use"

# Programs may run side by side; the watcher waits for all of them.
flock -s 9
# Wine starts its own service processes from the first program of a session
# and they inherit that program's output. Handing them files rather than our
# caller's pipes lets a caller that reads to the end (CTest, $(...)) finish.
out=$(mktemp "$state/stdout.XXXXXX")
err=$(mktemp "$state/stderr.XXXXXX")
trap 'cat "$out"; cat "$err" >&2; rm -f "$out" "$err"' EXIT
status=0
"${command[@]}" </dev/null >"$out" 2>"$err" 9>&- || status=$?
touch "$last_use"
exit "$status"
