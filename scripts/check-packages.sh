#!/usr/bin/env bash
# check-packages.sh DIST BUILD
#
# Checks the release packages that scripts/release.sh left in DIST: the zip
# holds exactly its files, and both programs' version resources (and the
# read-me dialog's version line) carry the version, and both carry the commit's
# time as their link time; the .deb carries the version its name carries,
# holds its files, unpacks, and its sorrelwick-cli prints that version and
# lists every demo set exactly as BUILD's own sorrelwick-cli does; lintian
# finds no error in it; SHA256SUMS matches both.
set -euo pipefail
export LC_ALL=C

[[ $# -eq 2 ]] || { sed -n '2p' "${BASH_SOURCE[0]}" | sed 's/^# //' >&2; exit 2; }
dist=$(realpath "$1")
build=$(realpath "$2")
tool() { sed -n "s/^$1=//p" "$build/tool-paths.txt"; }

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
same() {  # same WHAT EXPECTED ACTUAL
    [[ $2 == "$3" ]] || fail "$1: expected
$2
got
$3"
}

version=$(cat "$build/version.txt")
zip=$dist/Sorrelwick-$version-win32.zip
deb=$dist/sorrelwick-cli_${version}_amd64.deb
[[ -f $zip && -f $deb && -f $dist/SHA256SUMS ]] || { echo "FAIL: missing in $dist: $(ls "$dist")"; exit 1; }

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT

echo "-- $(basename "$zip")"
same "zip contents" \
    "$(printf '%s\n' CHANGELOG.md LICENSE README.txt Sorrelwick.exe THIRD-PARTY-NOTICES.txt \
        sorrelwick-cli.exe)" \
    "$(unzip -Z1 "$zip" | sort)"
unzip -p "$zip" README.txt | grep -q "^Sorrelwick $version for Windows" ||
    fail "README.txt does not name version $version"
numbers=$(IFS=.; read -r major minor patch <<<"$version"; echo "$major, $minor, $patch, 0")
for program in Sorrelwick.exe sorrelwick-cli.exe; do
    resources=$(unzip -p "$zip" "$program" >"$unpacked/$program" &&
        i686-w64-mingw32-windres -i "$unpacked/$program" -O rc)
    for expected in "FILEVERSION $numbers" "PRODUCTVERSION $numbers" \
        "VALUE \"FileVersion\", \"$version\"" "VALUE \"ProductVersion\", \"$version\""; do
        grep -qF "$expected" <<<"$resources" || fail "$program: no $expected"
    done
done
# The PE header's link time: the commit's, as release.sh gives it, so that the
# same sources give the same programs and a download can be checked against a
# build of its commit.
link_time() {
    local header
    header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tu4 -j$((header + 8)) -N4 "$1" | tr -d ' '
}
commit_time=$(git -C "$(dirname "${BASH_SOURCE[0]}")" log -1 --format=%ct)
for program in Sorrelwick.exe sorrelwick-cli.exe; do
    same "$program link time" "$commit_time" "$(link_time "$unpacked/$program")"
done
grep -qF "\"Sorrelwick Version $version\"" <<<"$(i686-w64-mingw32-windres -i \
    "$unpacked/Sorrelwick.exe" -O rc)" || fail "read-me dialog: no version line $version"

echo "-- $(basename "$deb")"
same "package version" "$version" "$(dpkg-deb -f "$deb" Version)"
same "package files" \
    "$(printf '%s\n' ./usr/bin/sorrelwick-cli ./usr/share/doc/sorrelwick-cli/changelog.gz \
        ./usr/share/doc/sorrelwick-cli/copyright ./usr/share/man/man1/sorrelwick-cli.1.gz)" \
    "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)"
dpkg-deb -f "$deb" Depends | grep -q 'libstdc++6' || fail "Depends lacks libstdc++6"

dpkg-deb -x "$deb" "$unpacked"
packaged=$unpacked/usr/bin/sorrelwick-cli
same "--version" "sorrelwick-cli $version" "$("$packaged" --version)"
sets=$unpacked/demo-sets
mkdir "$sets"
"$(tool make-demo-sets)" "$sets" >/dev/null
for set in "$sets"/*.DAT; do
    listing=$("$packaged" list "$set") || fail "list $(basename "$set") failed"
    same "listing of $(basename "$set")" "$("$(tool sorrelwick-cli)" list "$set")" "$listing"
done
gzip -t "$unpacked/usr/share/man/man1/sorrelwick-cli.1.gz" || fail "man page not gzip"
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l \
    "$unpacked/usr/share/man/man1/sorrelwick-cli.1.gz" 2>&1 >/dev/null)
same "man page warnings" "" "$man_warnings"

echo "-- lintian"
lintian_log=$(mktemp)
if ! lintian --fail-on error --display-info "$deb" >"$lintian_log" 2>&1; then
    fail "lintian reports errors"
fi
cat "$lintian_log"
rm -f "$lintian_log"

echo "-- SHA256SUMS"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"
same "SHA256SUMS names" "$(printf '%s\n' "$(basename "$zip")" "$(basename "$deb")")" \
    "$(awk '{print $2}' "$dist/SHA256SUMS")"

if [[ $failures -ne 0 ]]; then
    echo "$failures package checks failed"
    exit 1
fi
echo "packages of version $version checked"
