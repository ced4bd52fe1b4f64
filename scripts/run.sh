#!/usr/bin/env bash
# Builds the tool, writes the demo chess sets and shows them: in the Windows
# program under Wine when there is an X display to show it on, otherwise as
# the listings of sorrelwick-cli.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
bash scripts/install-deps.sh

tool() {  # tool BUILD TARGET: the program's path, empty when the build has none
    sed -n "s/^$2=//p" "$1/tool-paths.txt" 2>/dev/null
}

configure() {  # configure PRESET DIR
    mkdir -p "$2"
    cmake --preset "$1" >"$2/configure.log" 2>&1 || { cat "$2/configure.log" >&2; exit 1; }
}

build() {  # build PRESET DIR [TARGET...]
    local preset=$1 dir=$2
    shift 2
    local targets=()
    [[ $# -eq 0 ]] || targets=(--target "$@")
    cmake --build --preset "$preset" "${targets[@]}" >"$dir/build.log" 2>&1 ||
        { tail -n 60 "$dir/build.log" >&2; exit 1; }
}

echo "Building sorrelwick-cli and the demo sets..."
configure native build
build native build sorrelwick-cli make-demo-sets
sets=$root/build/demo-sets
rm -rf "$sets"
mkdir -p "$sets"
"$(tool build make-demo-sets)" "$sets"

has_display() { [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; }

# The program is 32-bit; on a kernel that can't run 32-bit code, its x86_64
# build runs under 64-bit Wine instead.
preset=windows
/usr/lib/wine/wine --version >/dev/null 2>&1 || preset=windows64
windows_build=$root/build-${preset}

if has_display; then
    configure "$preset" "$windows_build"
    program=$(tool "$windows_build" Sorrelwick)
    if [[ -n $program ]]; then
        echo "Building the Windows program..."
        build "$preset" "$windows_build" Sorrelwick
        echo "Starting Sorrelwick under Wine on $DISPLAY; the demo sets are in $sets"
        cd "$sets"
        exec bash "$root/scripts/wine-run.sh" --state "$windows_build/wine" "$program"
    fi
    echo "(This build has no Windows program; here are the listings instead.)"
else
    echo "There is no X display (DISPLAY is unset or unreachable), so the Windows program"
    echo "can't be shown. Here are the demo sets as sorrelwick-cli lists them instead."
fi

cli=$(tool build sorrelwick-cli)
cd "$sets"
for set in *.DAT; do
    echo "\$ sorrelwick-cli list $set"
    "$cli" list "$set" || echo "(sorrelwick-cli exited with status $?)"
done
