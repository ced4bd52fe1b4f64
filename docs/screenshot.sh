#!/usr/bin/env bash
# Pictures the main window with a chess set loaded, under Xvfb and Wine.
#
#   docs/screenshot.sh [chess-set.DAT]
#
# Without an argument a sample set, written by our own generators, is loaded.
# Needs the Windows build (BUILD_DIR, default build-windows) with the target
# sorrelwick_window_driver, and Xvfb, xdotool and ImageMagick. Writes
# docs/main-window.png (or OUT).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-windows}
out=${OUT:-$repo/docs/main-window.png}
driver=$build/tests/ui/sorrelwick_window_driver.exe
if [[ ! -f $driver ]]; then
    echo "screenshot: $driver is missing; build the Windows targets first" >&2
    exit 1
fi

work=$(mktemp -d)
xvfb_pid=
driver_pid=
cleanup() {
    touch "$work/stop"
    [[ -n $driver_pid ]] && wait "$driver_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

set_file=${1:-$work/Sample.DAT}

# An X server on the first free display, which it tells us itself.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

# A prefix of its own, so that its settings stay away from the tests'. With no
# window manager, Wine draws the caption bar itself only when told to.
export WINEPREFIX=${SCREENSHOT_PREFIX:-$build/screenshot-prefix} WINEDEBUG=-all
if [[ ! -d $WINEPREFIX ]]; then
    wineboot -i >/dev/null 2>&1
fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
# The caption buttons are drawn in Wine's symbol font, which not every
# package registers; a copy in the prefix's font folder is always found.
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [[ ! -f $fonts/marlett.ttf && -f /usr/share/wine/fonts/marlett.ttf ]]; then
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi

wine "$driver" "$(winepath -w "$set_file")" "$(winepath -w "$work/stop")" >/dev/null 2>&1 &
driver_pid=$!

window=
for _ in $(seq 120); do
    window=$(xdotool search --name '^Sorrelwick - ' 2>/dev/null | head -n 1) && [[ -n $window ]] && break
    sleep 0.5
done
if [[ -z $window ]]; then
    echo "screenshot: the main window did not show a loaded chess set" >&2
    exit 1
fi
sleep 1  # let it finish painting
import -window "$window" "$out"
echo "screenshot: wrote $out"
