#!/usr/bin/env bash
# Applies each hostile mod make-hostile-mods writes to its small set with a
# Release build of the command line, and previews the set of pictures no
# tile can be drawn from. Each mod must be refused with its line, exit 1,
# leave the set byte for byte as it was, and stay within 1 s and 64 MiB
# (measured by /usr/bin/time); the preview must not die. Prints one row per
# run; exits 1 when any check failed.
# BUILD=folder uses that build (default build-release, configured and built
# here when missing).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build-release}
if [[ ! -x $build/src/sorrelwick-cli || ! -x $build/tools/make-hostile-mods ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target sorrelwick-cli make-hostile-mods -j 2 >/dev/null
fi
cli=$build/src/sorrelwick-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/make-hostile-mods" "$work"

failed=0
# Runs the command line under /usr/bin/time; sets status, seconds, kib, output.
Timed() {
    status=0
    /usr/bin/time -v -o "$work/time" "$cli" "$@" >"$work/out" 2>&1 || status=$?
    seconds=$(sed -n 's/^\s*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time" |
        awk -F: '{print $(NF-1) * 60 + $NF}')
    kib=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$work/time")
}

declare -A expected=(
    [deep.zip]="is not a mod file that can be read"
    [wide.zip]="is not a mod file that can be read"
    [overlapping.zip]="is not a mod file that can be read"
    [many.zip]="is not a mod file that can be read"
    [depth8.zip]="Not applied: wrong color depth (8 bits)"
    [size3x5.zip]="Not applied: wrong size (3x5)"
    [size0x0.zip]="Not applied: wrong size (0x0)"
    [junk17.zip]="Not applied: wrong color depth (85 bits)"
)
printf '%-24s %6s %8s %9s %9s  %s\n' mod exit seconds "max KiB" unchanged line
for mod in deep.zip wide.zip overlapping.zip many.zip depth8.zip size3x5.zip size0x0.zip junk17.zip; do
    cp "$work/set.DAT" "$work/before.DAT"
    for force in "" --force; do
        Timed apply "$work/set.DAT" "$work/$mod" $force
        unchanged=no
        cmp -s "$work/set.DAT" "$work/before.DAT" && [[ ! -e $work/set.000 ]] && unchanged=yes
        line=no
        grep -qF "${expected[$mod]}" "$work/out" && line=yes
        printf '%-24s %6s %8s %9s %9s  %s\n' "$mod${force:+ $force}" "$status" "$seconds" "$kib" \
            "$unchanged" "$line"
        if [[ $status -ne 1 || $unchanged != yes || $line != yes ]] ||
            awk -v s="$seconds" -v k="$kib" 'BEGIN {exit !(s > 1 || k > 65536)}'; then
            failed=1
            cat "$work/out"
        fi
    done
done

Timed preview "$work/pictures.DAT" "$work/pictures.html"
printf '\npreview of 0x0, 0x64 and 20053x19019 textures: exit %s, %s s, %s KiB\n' \
    "$status" "$seconds" "$kib"
cat "$work/out"
[[ $status -eq 0 ]] || failed=1
exit "$failed"
