#!/usr/bin/env bash
# Installs what building, testing and running Sorrelwick needs on Debian 12:
# the native and the MinGW-w64 i686 compilers, GoogleTest, Google Benchmark,
# CLI11, the stb image headers, zlib (native and MinGW) and the JSON header,
# xdelta3 for the benchmark's comparison of mod sizes, 32-bit Wine (and 64-bit Wine with the x86_64
# cross compiler, for machines that cannot run 32-bit code), a headless X
# server with the tools to look at it, headless Chromium for the preview page,
# and what making and checking the release packages takes.
# Safe to run again: it returns at once when everything is there.
set -euo pipefail

packages=(
    cmake make g++ libgtest-dev libbenchmark-dev libcli11-dev libstb-dev time
    nlohmann-json3-dev zlib1g-dev libz-mingw-w64-dev xdelta3
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    wine wine32:i386 wine64
    xvfb xauth x11-utils imagemagick openssl xdotool chromium
    dpkg-dev fakeroot file lintian zip unzip man-db
)

has_i386() { dpkg --print-foreign-architectures | grep -qx i386; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if has_i386 && [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

as_root=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "install-deps: run me as root" >&2; exit 1; }
    as_root=(sudo)
fi

echo "install-deps: installing ${missing[*]:-the i386 architecture}" >&2
export DEBIAN_FRONTEND=noninteractive
has_i386 || "${as_root[@]}" dpkg --add-architecture i386
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq -o Dpkg::Use-Pty=0 "${packages[@]}" </dev/null >/dev/null
echo "install-deps: done" >&2
