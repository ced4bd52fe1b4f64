#!/usr/bin/env bash
# Builds the release packages in Release and leaves them in dist/:
#   Sorrelwick-<version>-win32.zip      both Windows programs, a read-me for
#                                       Windows users, LICENSE, CHANGELOG.md
#   sorrelwick-cli_<version>_amd64.deb  sorrelwick-cli for Debian, by CPack
#   SHA256SUMS                          over both
# The version is the project's, as CMake configures it. The Windows programs
# come from build-windows (its preset builds in Release), so a tested build
# there is packed as it is; sorrelwick-cli for Debian from build-release,
# hardened with Debian's build flags.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
bash scripts/install-deps.sh

# Runs one step quietly into a log; shows the log's end when the step fails.
quietly() {
    local log=$1
    shift
    mkdir -p "$(dirname "$log")"
    "$@" >"$log" 2>&1 || { tail -n 60 "$log" >&2; exit 1; }
}

tool() {  # tool BUILD TARGET: the program's path in that build
    sed -n "s/^$2=//p" "$1/tool-paths.txt"
}

echo "== release: Windows programs (build-windows)"
quietly build-windows/configure.log cmake --preset windows
quietly build-windows/release-build.log \
    cmake --build --preset windows --target Sorrelwick sorrelwick-cli

echo "== release: sorrelwick-cli for Debian (build-release)"
# Debian's hardening: fortified functions, stack protector, read-only
# relocations, bound at once. Read by CMake when it first configures.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    quietly build-release/configure.log cmake --preset release
quietly build-release/build.log cmake --build --preset release

version=$(cat build-release/version.txt)
if [[ $(cat build-windows/version.txt) != "$version" ]]; then
    echo "release: build-windows is version $(cat build-windows/version.txt), not $version" >&2
    exit 1
fi
zip_name=Sorrelwick-$version-win32.zip
deb_name=sorrelwick-cli_${version}_amd64.deb
rm -rf dist
mkdir -p dist

# Every file of the zip gets the time of the last commit, so that the same
# sources give the same zip.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)

echo "== release: $zip_name"
stage=build-windows/zip
rm -rf "$stage"
mkdir -p "$stage"
cp "$(tool build-windows Sorrelwick)" "$(tool build-windows sorrelwick-cli)" "$stage/"
# Without the debugging data the static runtime brings along. strip writes a
# link time into the PE header: the commit's, so that the programs are the
# same for the same sources.
SOURCE_DATE_EPOCH=$stamp i686-w64-mingw32-strip "$stage/Sorrelwick.exe" "$stage/sorrelwick-cli.exe"
crlf() { sed 's/\r$//; s/$/\r/' "$1"; }  # text files as Windows editors expect them
sed "s/@VERSION@/$version/g" packaging/windows/README.txt | crlf /dev/stdin >"$stage/README.txt"
crlf LICENSE >"$stage/LICENSE"
crlf CHANGELOG.md >"$stage/CHANGELOG.md"
crlf packaging/windows/THIRD-PARTY-NOTICES.txt >"$stage/THIRD-PARTY-NOTICES.txt"
touch -d "@$stamp" "$stage"/*
(cd "$stage" && zip -q -X -D "$root/dist/$zip_name" \
    Sorrelwick.exe sorrelwick-cli.exe README.txt LICENSE CHANGELOG.md THIRD-PARTY-NOTICES.txt)

echo "== release: $deb_name"
rm -rf build-release/packages
(cd build-release && SOURCE_DATE_EPOCH=$stamp quietly cpack.log cpack -G DEB)
cp "build-release/packages/$deb_name" dist/

(cd dist && sha256sum "$zip_name" "$deb_name" >SHA256SUMS)
echo "== release: dist/"
ls -l dist
