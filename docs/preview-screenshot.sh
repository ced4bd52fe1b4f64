#!/usr/bin/env bash
# Pictures the preview page of the demo set A1_demo.DAT as headless Chromium
# shows it, into docs/screenshots/8-preview.png (or OUT_DIR).
#
#   docs/preview-screenshot.sh
#
# Needs the native build (BUILD_DIR, default build) with sorrelwick-cli and
# make-demo-sets, and Chromium.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build}
out=${OUT_DIR:-$repo/docs/screenshots}
tool() { sed -n "s/^$1=//p" "$build/tool-paths.txt"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$(tool make-demo-sets)" "$work" >/dev/null
"$(tool sorrelwick-cli)" preview "$work/A1_demo.DAT" "$work/A1_demo.html" >/dev/null

mkdir -p "$out"
timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --hide-scrollbars --window-size=1224,800 \
    --screenshot="$out/8-preview.png" "file://$work/A1_demo.html" 2>/dev/null
echo "preview screenshot: wrote $out/8-preview.png"
