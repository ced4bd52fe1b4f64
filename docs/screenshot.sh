#!/usr/bin/env bash
# Pictures a user's session in the Windows program, under Xvfb and Wine: the
# main window after loading a chess set, after extracting its textures, after
# replacing them from edited files and after changing the specularity, then
# made larger, the specularity and read-me dialogs, the restore dialog with
# its first backup compared with the set, and the report after the
# comparison and the restore, the gallery of its textures and one of them
# saved from an image editor, and a mod of one
# of its backups applied from the Mods dialog: the question, the dialog
# with the mod's new state, then the report. (8 is the preview
# page, pictured by docs/preview-screenshot.sh.)
#
#   docs/screenshot.sh [chess-set.DAT]
#
# Without an argument the demo set A1_demo.DAT, written by make-demo-sets, is
# loaded. SCALE=150 pictures the session at 150% display scale (144 DPI), in
# a Wine prefix of its own, each picture's name ending in "-150". Needs the Windows build (BUILD_DIR, default build-windows) with the
# targets sorrelwick_window_driver and make-demo-sets, and Xvfb, xdotool and
# ImageMagick. Writes the pictures into docs/screenshots (or OUT_DIR). The
# set lies in C:\Tessaravine\DATA\DAT, or in C:\Tessaravine\$SET_FOLDER.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-windows}
out=${OUT_DIR:-$repo/docs/screenshots}
driver=$build/tools/sorrelwick_window_driver.exe
demo_sets=$build/tools/make-demo-sets.exe
for program in "$driver" "$demo_sets"; do
    if [[ ! -f $program ]]; then
        echo "screenshot: $program is missing; build the Windows targets first" >&2
        exit 1
    fi
done

# The screen grows with the scale, so that the larger windows fit on it.
scale=${SCALE:-100}
suffix=
[[ $scale != 100 ]] && suffix=-$scale
# A 64-bit build runs under the 64-bit loader, which Debian's `wine` passes over.
if [[ $(cat "$build/wine/arch" 2>/dev/null) == win64 ]]; then
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    wine() { "$WINELOADER" "$@"; }
    wineboot() { "$WINELOADER" wineboot "$@"; }
fi

# What each stop of the driver shows, in its order.
pictures=(1-loaded 2-extracted 3-replaced 4-specularity-dialog 5-specularity-changed 6-widened
    7-read-me 9-restore-dialog 10-restored 12-gallery 16-gallery-editing 13-apply-mod-question 15-mods-dialog
    14-mod-applied)

work=$(mktemp -d)
xvfb_pid=
driver_pid=
cleanup() {
    [[ -n $driver_pid ]] && kill "$driver_pid" 2>/dev/null && wait "$driver_pid" 2>/dev/null
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# An X server on the first free display, which it tells us itself.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 $((1024 * scale / 100))x$((768 * scale / 100))x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

# A prefix of its own, so that its settings stay away from the tests'. With no
# window manager, Wine draws the caption bar itself only when told to.
export WINEPREFIX=${SCREENSHOT_PREFIX:-$build/screenshot-prefix$suffix} WINEDEBUG=-all
if [[ ! -d $WINEPREFIX ]]; then
    wineboot -i >/dev/null 2>&1
fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((96 * scale / 100)) /f \
    >/dev/null 2>&1
# The caption buttons are drawn in Wine's symbol font, which not every
# package registers; a copy in the prefix's font folder is always found.
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [[ ! -f $fonts/marlett.ttf && -f /usr/share/wine/fonts/marlett.ttf ]]; then
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi

# The game's folders as a user has them, on the prefix's drive C:, so that the
# report shows paths a user would see.
# SET_FOLDER names the set's folder there instead (any language).
set_folder=${SET_FOLDER:-DATA\\DAT}
game=$WINEPREFIX/drive_c/Tessaravine
rm -rf "$game"
mkdir -p "$game/${set_folder//\\//}" "$game/Textures" "$work/signals"
if [[ $# -ge 1 ]]; then
    cp "$1" "$game/${set_folder//\\//}/"
    set_name=$(basename "$1")
else
    wine "$demo_sets" "C:\\Tessaravine\\$set_folder" >/dev/null 2>&1
    set_name=A1_demo.DAT
fi

wine "$driver" "C:\\Tessaravine\\$set_folder\\$set_name" 'C:\Tessaravine\Textures' \
    "$(wine winepath -w "$work/signals" 2>/dev/null)" >/dev/null 2>&1 &
driver_pid=$!

mkdir -p "$out"
for n in "${!pictures[@]}"; do
    ready=$work/signals/$n.ready
    for _ in $(seq 300); do [[ -s $ready ]] && break; sleep 0.2; done
    if [[ ! -s $ready ]]; then
        echo "screenshot: the driver did not reach step ${pictures[n]}" >&2
        exit 1
    fi
    caption=$(cat "$ready")
    # Wine may give a window more than one X window of that name, and one
    # just opened may not be readable yet: try each, for a few seconds.
    pictured=
    for _ in 1 2 3 4 5; do
        sleep 1  # let it finish painting
        for window in $(xdotool search --name "^${caption}\$" 2>/dev/null); do
            import -window "$window" "$out/${pictures[n]}$suffix.png" 2>/dev/null && pictured=yes && break
        done
        [[ -n $pictured ]] && break
    done
    # Some dialogs Wine maps under no name of their own: the whole screen then.
    if [[ -z $pictured ]]; then
        import -window root "$out/${pictures[n]}$suffix.png" 2>/dev/null && pictured=yes
    fi
    if [[ -z $pictured ]]; then
        echo "screenshot: could not picture \"$caption\" at step ${pictures[n]}" >&2
        exit 1
    fi
    echo "screenshot: wrote $out/${pictures[n]}$suffix.png"
    touch "$work/signals/$n.done"
done
wait "$driver_pid"
driver_pid=
