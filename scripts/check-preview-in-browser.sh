#!/usr/bin/env bash
# check-preview-in-browser.sh SORRELWICK_CLI DEMO_SET_FOLDER
#
# Writes the preview page of every demo set, opens a copy of it in headless
# Chromium, and fails unless every picture decoded and has the size that
# `sorrelwick-cli list` gives for its texture, in the same order. The page
# itself holds no script: only the copy gets one, which writes each
# picture's decoded size into the page for --dump-dom to print. Exits 77
# (skipped) when Chromium is not installed.
set -euo pipefail

[[ $# -eq 2 ]] || { sed -n '2p' "${BASH_SOURCE[0]}" | sed 's/^# //' >&2; exit 2; }
cli=$1
demo=$2
browser=$(command -v chromium || command -v chromium-browser || true)
if [[ -z $browser ]]; then
    echo "preview in browser: skipped, Chromium is not installed (scripts/install-deps.sh)"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each texture's picture as "WIDTHxHEIGHT", or "broken" when it did not
# decode; " broken" at the end when any picture (a colour or alpha shown
# apart among them) did not.
probe='<script>addEventListener("load",()=>{const p=document.createElement("pre");p.id="probe";
p.textContent=[...document.querySelectorAll("img.picture")].map(i=>i.naturalWidth?i.naturalWidth+"x"+i.naturalHeight:"broken").join(" ")+
([...document.images].some(i=>!i.naturalWidth)?" broken":"");
document.body.append(p)})</script>'

# render PAGE: the probe's text after Chromium loaded a copy of PAGE.
render() {
    local copy=$work/probed.html profile
    sed "s|</body>|${probe//$'\n'/}</body>|" "$1" >"$copy"
    profile=$(mktemp -d "$work/profile.XXXX")
    timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" --virtual-time-budget=5000 --dump-dom "file://$copy" \
        2>"$work/browser.log" | sed -n 's|.*<pre id="probe">\(.*\)</pre>.*|\1|p'
}

checked=0
failed=0
for set in "$demo"/*.DAT; do
    name=$(basename "$set")
    # The size field of each texture line: third field from the end.
    expected=$("$cli" list "$set" | awk '/^  / {print $(NF-2)}' | xargs)
    "$cli" preview "$set" "$work/$name.html" >/dev/null
    shown=$(render "$work/$name.html")
    checked=$((checked + 1))
    if [[ -z $expected || $shown != "$expected" ]]; then
        failed=$((failed + 1))
        echo "preview in browser: $name: listed sizes \"$expected\", pictures \"$shown\""
        tail -n 5 "$work/browser.log"
    fi
done
echo "preview in browser: $checked pages checked, $failed with a wrong or missing picture"
[[ $checked -gt 0 && $failed -eq 0 ]]
