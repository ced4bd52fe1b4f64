#!/usr/bin/env bash
# Times sorrelwick-cli against the plain I/O that each operation can't beat,
# on two large sets made by our generators: 2,047 textures of 256 KiB (512 MiB)
# and a million objects with their materials (three million small chunks).
# `diff` compares the big set with a copy whose last texture differs; its
# floor is `cmp` of two identical copies, which reads both whole.
# Each pair is measured alternately, ROUNDS times, in one run; the table shows
# the medians, their ratio and the spread, then the tool's peak memory from a
# run of its own under /usr/bin/time (the tool is started directly, so that
# no large parent's pages count towards it).
#
#   scripts/bench.sh                 build-release/, sets in a temporary folder
#   ROUNDS=9 BENCH_DIR=/tmp/b scripts/bench.sh
#   PAIRS="specular_big specular_many" scripts/bench.sh
#   CLI=/elsewhere/sorrelwick-cli scripts/bench.sh   another build, same sets
#   WINDOWS_BUILD=build-windows64 scripts/bench.sh   the Windows program's gallery and
#                                    report too, under Wine (when PAIRS is not given)
#
# Not part of the tests: timings depend on the machine and its load.
set -euo pipefail
shopt -s inherit_errexit

cd "$(dirname "${BASH_SOURCE[0]}")/.."
rounds=${ROUNDS:-5}
textures=${TEXTURES:-2047}
objects=${OBJECTS:-1000000}

[[ -x /usr/bin/time ]] || bash scripts/install-deps.sh

echo "== building the release preset" >&2
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
cmake --build --preset release --target make-demo-sets >/dev/null
cli=${CLI:-$PWD/build-release/src/sorrelwick-cli}
make_sets=$PWD/build-release/tools/make-bench-sets
make_demo=$PWD/build-release/tools/make-demo-sets

work=${BENCH_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/sorrelwick-bench.XXXXXX")}
[[ -n ${BENCH_DIR:-} ]] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work"
big=$work/big.DAT
many=$work/objects.DAT
echo "== writing the sets into $work" >&2
"$make_sets" textures "$big" "$textures"
"$make_sets" objects "$many" "$objects"
# Two copies of the big set: one the same, one whose last texture differs
# (the set ends in that texture's image: its last byte is a pixel's).
cp "$big" "$work/same.DAT"
cp "$big" "$work/other.DAT"
printf '\x5a' | dd of="$work/other.DAT" bs=1 seek=$(($(stat -c %s "$big") - 1)) conv=notrunc status=none
changed=$work/other.DAT
# A mod's pair: the big set with 10 textures repainted (each of their files
# with every pixel byte of its first 4 KiB flipped), and the mod of that
# change. `pack` is timed against `diff` of the same two sets, `apply` to a
# copy of the big set against `replace` of the same 10 textures.
rm -rf "$work/all" && mkdir -p "$work/all"
"$cli" extract "$big" "$work/all" >/dev/null
mkdir -p "$work/ten"
extracted=("$work"/all/*.tga)
for file in "${extracted[@]:0:10}"; do
    python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read())
for i in range(18, min(len(b), 4096)): b[i] ^= 0xff
open(sys.argv[2], "wb").write(b)' "$file" "$work/ten/${file##*/}"
done
rm -rf "$work/all"
cp "$big" "$work/modded.DAT"
"$cli" replace "$work/modded.DAT" "$work/ten" >/dev/null
rm -f "$work/modded.000"
"$cli" pack "$work/modded.DAT" "$big" "$work/mod.zip" --force >/dev/null
# 200 mods of the big set's textures for `mods`: mod i repaints textures
# 10i and 10i+5 (every 20th also texture 3, which they then share), each
# packed from a small set of those textures' materials and images alone.
make_mods() {
    local count=$1 folder=$2
    rm -rf "$folder" "$work/pairs" && mkdir -p "$folder" "$work/pairs"
    python3 - "$big" "$work/pairs" "$count" <<'PY'
import struct, sys
path, out, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
with open(path, "rb") as f:
    signature = f.read(12)
    pieces, at, last = [], 12, None
    while True:
        header = f.read(12)
        if len(header) < 12: break
        kind, _, length = struct.unpack("<III", header)
        if kind == 3 and last is not None: pieces.append((last, at))
        last = at if kind == 2 else None
        at += 12 + length
        f.seek(at)
    def chunk(offset):
        f.seek(offset)
        header = f.read(12)
        return header + f.read(struct.unpack("<III", header)[2])
    for i in range(count):
        chosen = sorted({(10 * i) % len(pieces), (10 * i + 5) % len(pieces)} | ({3} if i % 20 == 0 else set()))
        base, changed = bytearray(signature), bytearray(signature)
        for j in chosen:
            material, image = chunk(pieces[j][0]), bytearray(chunk(pieces[j][1]))
            base += material + image
            for k in range(12 + 18, 12 + 18 + 4096): image[k] ^= (i % 255) + 1
            changed += material + image
        open(f"{out}/{i:03}.base", "wb").write(base)
        open(f"{out}/{i:03}.DAT", "wb").write(changed)
PY
    local i
    for ((i = 0; i < count; ++i)); do
        printf -v i3 '%03d' "$i"
        "$cli" pack "$work/pairs/$i3.DAT" "$work/pairs/$i3.base" "$folder/mod$i3.zip" \
            --title "Mod $i3" --author bench >/dev/null
    done
    rm -rf "$work/pairs"
}
make_mods 200 "$work/mods"
make_mods 20 "$work/mods20"
# The page's set: 64 MiB of textures (256), and the same textures extracted
# as files for `mogrify` to turn into PNG. A mod's set of 32 MiB (128
# textures) with 40 of them repainted as the 10 above, packed against its
# base.
page_set=$work/page.DAT
"$make_sets" textures "$page_set" 256
rm -rf "$work/page-tga" && mkdir -p "$work/page-tga"
"$cli" extract "$page_set" "$work/page-tga" >/dev/null
small=$work/small.DAT
"$make_sets" textures "$small" 128
rm -rf "$work/small-tga" "$work/forty" && mkdir -p "$work/small-tga" "$work/forty"
"$cli" extract "$small" "$work/small-tga" >/dev/null
extracted=("$work"/small-tga/*.tga)
for file in "${extracted[@]:0:40}"; do
    python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read())
for i in range(18, min(len(b), 4096)): b[i] ^= 0xff
open(sys.argv[2], "wb").write(b)' "$file" "$work/forty/${file##*/}"
done
rm -rf "$work/small-tga"
cp "$small" "$work/small-modded.DAT"
"$cli" replace "$work/small-modded.DAT" "$work/forty" >/dev/null
rm -f "$work/small-modded.000"

# The steps of each pair. A rewrite leaves its backup (name.000) and an
# extraction its files: each `tidy_` step removes them, outside the timing.
percents=(--white 90,110 --black 110,90 --board 50,200)

tool_list_big() { "$cli" list "$big" >/dev/null; }
floor_list_big() { cat "$big" >/dev/null; }

tool_extract_big() { "$cli" extract "$big" "$work/out" >/dev/null; }
floor_extract_big() { split -n "$textures" -a 4 "$big" "$work/out/x"; }
ready_extract_big() { rm -rf "$work/out" && mkdir "$work/out"; }

# On a copy of the big set: the rewrite scales its materials, and the pairs
# after it (diff against an unchanged copy) need the set as made.
tool_specular_big() { "$cli" specular "$work/specular.DAT" "${percents[@]}" >/dev/null; }
floor_specular_big() { cp "$big" "$work/copy.DAT" && sync "$work/copy.DAT"; }
ready_specular_big() {
    rm -f "$work/specular.000" "$work/copy.DAT" && cp "$big" "$work/specular.DAT"
}

# The floor of a page: the set's bytes as Base64 text, which is what a page
# of its pictures holds at the least.
tool_preview_big() { "$cli" preview "$big" "$work/page.html" >/dev/null; }
floor_preview_big() { base64 "$big" >"$work/floor.txt"; }
ready_preview_big() { rm -f "$work/page.html" "$work/floor.txt"; }

# The page of changes against a copy whose last texture differs: both files
# are walked twice (the comparison, then the pictures).
tool_compare_big() { "$cli" preview "$big" "$work/changes.html" --compare "$changed" >/dev/null; }
floor_compare_big() { base64 "$big" >"$work/floor.txt" && cat "$changed" >/dev/null; }
ready_compare_big() { rm -f "$work/changes.html" "$work/floor.txt"; }
# diff exits 1 for sets that differ, as these do.
tool_diff_big() {
    local status=0
    "$cli" diff "$big" "$work/other.DAT" >/dev/null || status=$?
    ((status == 1))
}
floor_diff_big() { cmp "$big" "$work/same.DAT"; }

tool_pack_big() { "$cli" pack "$work/modded.DAT" "$big" "$work/mod.zip" --force >/dev/null; }
floor_pack_big() {
    local status=0
    "$cli" diff "$work/modded.DAT" "$big" >/dev/null || status=$?
    ((status == 1))
}

tool_apply_big() { "$cli" apply "$work/target.DAT" "$work/mod.zip" >/dev/null; }
floor_apply_big() { "$cli" replace "$work/target.DAT" "$work/ten" >/dev/null; }
ready_apply_big() { rm -f "$work/target.000" && cp "$big" "$work/target.DAT"; }

# `mods` reads the set once (the images some mod names) and each mod's
# manifest; its floor reads the set and the 200 mod files whole.
tool_mods_big() { "$cli" mods "$big" "$work/mods" >/dev/null; }
floor_mods_big() { cat "$big" "$work/mods"/*.zip >/dev/null; }
# From an editor's save to the set replaced: `watch` (started beforehand,
# outside the timing) sees a PNG saved by rename and rewrites the set; the
# step ends when the set's path names the new file. Its floor is `replace
# --texture` of the same file into the same set. On the demo set and on the
# big one (the set is copied afresh before each step, outside the timing).
demo_set_dir=$work/demo
mkdir -p "$demo_set_dir" "$work/edits"
"$make_demo" "$demo_set_dir" >/dev/null
# A picture of the texture's own sides, as an editor saves it.
write_png() {
    python3 -c 'import struct, sys, zlib
side = int(sys.argv[2])
rows = b"".join(b"\0" + bytes(v for x in range(side) for v in (x % 256, y % 256, 99, 255))
                for y in range(side))
chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d))
head = struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0)
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) +
                              chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))' "$1" "$2"
}
write_png "$work/demo.png" 64
write_png "$work/big.png" 256
watch_pid=
stop_watch() {
    [[ -n $watch_pid ]] || return 0
    kill -INT "$watch_pid"
    wait "$watch_pid" || true
    watch_pid=
}
trap 'stop_watch' EXIT
[[ -n ${BENCH_DIR:-} ]] || trap 'stop_watch; rm -rf "$work"' EXIT
# $1: the set to copy, $2: its copy that is watched. The mark is newer than
# the copy and older than any set the watch writes after it.
start_watch() {
    stop_watch
    rm -f "${2%.DAT}".0* "$work"/edits/*
    cp "$1" "$2"
    "$cli" watch "$2" "$work/edits" --convert >"$work/watch.out" &
    watch_pid=$!
    until grep -q '^Watching' "$work/watch.out" 2>/dev/null; do sleep 0.01; done
    touch "$work/before-save"
}
# Waits without starting a process: a read that times out on a pipe no one
# writes. Polling with `stat` and `sleep` would start hundreds of processes
# a second, which take the processor from the watch being timed.
rm -f "$work/never" && mkfifo "$work/never" && exec 9<>"$work/never"
# $1: the picture, $2: the texture's stem, $3: the watched set.
save_and_wait() {
    cp "$1" "$work/edits/$2.png.part"
    mv "$work/edits/$2.png.part" "$work/edits/$2.png"
    until [[ $3 -nt $work/before-save ]]; do read -r -t 0.002 -u 9 || true; done
}
ready_watch_demo() { start_watch "$demo_set_dir/A1_demo.DAT" "$work/watched_demo.DAT"; }
tool_watch_demo() { save_and_wait "$work/demo.png" marble_white "$work/watched_demo.DAT"; }
floor_watch_demo() {
    "$cli" replace "$work/watched_demo.DAT" --texture "marble_white.tga=$work/demo.png" --convert >/dev/null
}
ready_watch_big() { start_watch "$big" "$work/watched_big.DAT"; }
tool_watch_big() { save_and_wait "$work/big.png" tex0 "$work/watched_big.DAT"; }
floor_watch_big() {
    "$cli" replace "$work/watched_big.DAT" --texture "tex0.tga=$work/big.png" --convert >/dev/null
}
# The page of 64 MiB against ImageMagick's `mogrify` turning the same
# textures, extracted as files, into PNG files: on every core (its default
# and ours), then both on one thread.
tool_page_cores() { "$cli" preview "$page_set" "$work/page64.html" >/dev/null; }
floor_page_cores() { mogrify -path "$work/mogrified" -format png "$work"/page-tga/*.tga; }
ready_page_cores() { rm -rf "$work/page64.html" "$work/mogrified" && mkdir "$work/mogrified"; }
tool_page_one() { "$cli" preview "$page_set" "$work/page64.html" --jobs 1 >/dev/null; }
floor_page_one() {
    MAGICK_THREAD_LIMIT=1 mogrify -path "$work/mogrified" -format png "$work"/page-tga/*.tga
}
ready_page_one() { ready_page_cores; }

# `pack` of 40 repainted textures of 32 MiB against the SHA-256 of the base,
# which its manifest holds and which no pack can beat: OpenSSL's, which uses
# the processor's SHA instructions as ours does.
tool_pack_small() {
    "$cli" pack "$work/small-modded.DAT" "$small" "$work/small-mod.zip" --force >/dev/null
}
floor_pack_small() { openssl dgst -sha256 "$small" >/dev/null; }

tool_list_many() { "$cli" list "$many" >/dev/null; }
floor_list_many() { cat "$many" >/dev/null; }

# The classifying rewrite reads the set twice (its classes, then the
# rewrite) and writes it once, flushed: two of our listings and a copy.
tool_specular_many() { "$cli" specular "$many" "${percents[@]}" >/dev/null; }
floor_specular_many() {
    "$cli" list "$many" >/dev/null && "$cli" list "$many" >/dev/null &&
        cp "$many" "$work/copy.DAT" && sync "$work/copy.DAT"
}
ready_specular_many() { rm -f "$work/objects.000" "$work/copy.DAT"; }

read -r -a pairs <<<"${PAIRS:-list_big extract_big specular_big preview_big compare_big diff_big pack_big apply_big mods_big watch_demo watch_big page_cores page_one pack_small list_many specular_many}"
declare -A label=(
    [list_big]="list big vs cat"
    [extract_big]="extract big vs split"
    [specular_big]="specular big vs cp+sync"
    [preview_big]="preview big vs base64"
    [compare_big]="preview --compare vs base64"
    [diff_big]="diff big vs cmp of copies"
    [pack_big]="pack 10 textures vs diff"
    [apply_big]="apply 10 textures vs replace"
    [mods_big]="mods 200 vs cat set+mods"
    [watch_demo]="watch demo: save to set vs replace"
    [watch_big]="watch big: save to set vs replace"
    [page_cores]="page 64 MiB vs mogrify"
    [page_one]="page, one thread, vs mogrify"
    [pack_small]="pack 40 of 32 MiB vs openssl"
    [list_many]="list objects vs cat"
    [specular_many]="specular objects vs 2 list+cp"
)

# Each step starts with nothing left to write from the steps before it:
# otherwise the device is still busy with an earlier step's files (an
# extraction leaves 512 MiB to write) while a later step waits for its own.
ready() {
    if declare -F "ready_$1" >/dev/null; then "ready_$1"; fi
    sync
}

# Runs one step and prints its wall time in seconds.
timed() {
    local start=$EPOCHREALTIME
    "$@"
    echo "$start $EPOCHREALTIME" | awk '{ printf "%.4f\n", $2 - $1 }'
}

# The median, least and greatest of the numbers given.
stats() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "%.4f %.4f %.4f\n", m, v[1], v[NR] }'
}

declare -A tool_times floor_times
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for ((round = 1; round <= rounds; ++round)); do
    echo "== round $round of $rounds" >&2
    for pair in "${pairs[@]}"; do
        # Odd rounds run the tool first, even rounds the floor first.
        order=(tool floor)
        ((round % 2)) || order=(floor tool)
        for side in "${order[@]}"; do
            ready "$pair"
            t=$(timed "${side}_$pair")
            if [[ $side == tool ]]; then
                tool_times[$pair]+="$t "
            else
                floor_times[$pair]+="$t "
            fi
        done
    done
done

# Peak resident memory of the tool alone, in KiB.
peak_kib() {
    local out=$work/peak.txt
    /usr/bin/time -f %M -o "$out" "$@" >/dev/null
    tail -n 1 "$out"
}
declare -A peak
selected() { [[ " ${pairs[*]} " == *" $1 "* ]]; }
selected list_big && ready list_big && peak[list_big]=$(peak_kib "$cli" list "$big")
selected extract_big && ready extract_big && peak[extract_big]=$(peak_kib "$cli" extract "$big" "$work/out")
selected specular_big && ready specular_big && peak[specular_big]=$(peak_kib "$cli" specular "$work/specular.DAT" "${percents[@]}")
selected preview_big && ready preview_big && peak[preview_big]=$(peak_kib "$cli" preview "$big" "$work/page.html")
selected compare_big && ready compare_big &&
    peak[compare_big]=$(peak_kib "$cli" preview "$big" "$work/changes.html" --compare "$changed")
selected diff_big && ready diff_big && peak[diff_big]=$(peak_kib "$cli" diff "$big" "$work/other.DAT" || true)
selected pack_big && ready pack_big && peak[pack_big]=$(peak_kib "$cli" pack "$work/modded.DAT" "$big" "$work/mod.zip" --force)
selected apply_big && ready apply_big && peak[apply_big]=$(peak_kib "$cli" apply "$work/target.DAT" "$work/mod.zip")
selected mods_big && ready mods_big && peak[mods_big]=$(peak_kib "$cli" mods "$big" "$work/mods")
selected page_cores && ready page_cores && peak[page_cores]=$(peak_kib "$cli" preview "$page_set" "$work/page64.html")
selected page_one && ready page_one &&
    peak[page_one]=$(peak_kib "$cli" preview "$page_set" "$work/page64.html" --jobs 1)
selected pack_small && peak[pack_small]=$(peak_kib "$cli" pack "$work/small-modded.DAT" "$small" "$work/small-mod.zip" --force)
selected list_many && ready list_many && peak[list_many]=$(peak_kib "$cli" list "$many")
selected specular_many && ready specular_many && peak[specular_many]=$(peak_kib "$cli" specular "$many" "${percents[@]}")
ready extract_big
rm -f "$work/specular.DAT" "$work/specular.000" "$work/copy.DAT"
ready specular_many
ready preview_big
ready compare_big
ready apply_big
ready page_cores

mib_of() { du -m --apparent-size "$1" | cut -f1; }
echo
echo "big: $textures textures, $(mib_of "$big") MiB; objects: $objects objects, $(mib_of "$many") MiB"
echo "$(nproc) cores; load average before the rounds: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Medians of $rounds alternating rounds, seconds (least-greatest); peak memory of the tool"
printf '| %-28s | %-22s | %-22s | %-5s | %-9s |\n' pair tool floor ratio "peak MiB"
printf '|%s|%s|%s|%s|%s|\n' ------------------------------ ------------------------ \
    ------------------------ ------- -----------
for pair in "${pairs[@]}"; do
    read -r tm tlo thi <<<"$(stats ${tool_times[$pair]})"
    read -r fm flo fhi <<<"$(stats ${floor_times[$pair]})"
    ratio=$(awk -v t="$tm" -v f="$fm" 'BEGIN { printf "%.2f", t / f }')
    mib=$(awk -v k="${peak[$pair]:-}" 'BEGIN { if (k == "") print "-"; else printf "%.1f", k / 1024 }')
    printf '| %-28s | %6.3f (%6.3f-%6.3f) | %6.3f (%6.3f-%6.3f) | %5s | %9s |\n' \
        "${label[$pair]}" "$tm" "$tlo" "$thi" "$fm" "$flo" "$fhi" "$ratio" "$mib"
done

# A mod's manifest is all `mods` holds of it: its peak is the same for 20
# mods as for 200.
if selected mods_big; then
    echo
    echo "mods peak memory: 20 mods $(awk -v k="$(peak_kib "$cli" mods "$big" "$work/mods20")" \
        'BEGIN { printf "%.1f", k / 1024 }') MiB, 200 mods $(awk -v k="${peak[mods_big]}" \
        'BEGIN { printf "%.1f", k / 1024 }') MiB"
fi

# A mod names its base by the SHA-256 of the whole file, so no pack can take
# less time than that digest of the base alone: OpenSSL's, which uses the
# processor's SHA instructions as ours does, else coreutils'.
digest_tool=(sha256sum)
command -v openssl >/dev/null && digest_tool=(openssl dgst -sha256)
digest_base() { "${digest_tool[@]}" "$big" >/dev/null; }
if selected pack_big; then
    read -r dm _ _ <<<"$(stats ${floor_times[pack_big]})"
    digest_times=()
    for ((round = 1; round <= rounds; ++round)); do digest_times+=("$(timed digest_base)"); done
    read -r sm slo shi <<<"$(stats "${digest_times[@]}")"
    echo
    printf 'SHA-256 of the base alone (%s): %.3f (%.3f-%.3f) s, %.2f times diff\n' \
        "${digest_tool[*]}" "$sm" "$slo" "$shi" "$(awk -v s="$sm" -v d="$dm" 'BEGIN { print s / d }')"
fi

# The mod against a binary patch of the same change, which fits only the
# exact file it was made from.
if command -v xdelta3 >/dev/null; then
    xdelta3 -9 -f -e -s "$big" "$work/modded.DAT" "$work/change.vcdiff"
    echo
    echo "10 repainted textures: mod $(stat -c %s "$work/mod.zip") bytes," \
        "xdelta3 -9 $(stat -c %s "$work/change.vcdiff") bytes"
fi

# The Windows program under Wine (WINDOWS_BUILD, default build-windows64, when
# built with its tools): the gallery of a set of 2,000 textures opening, then
# maximised and scrolled from its first tile to its last in one go, or page by
# page, and the listing of that set into the report against
# sorrelwick-cli.exe's. The program's own times run from the click (or the
# scroll, or the first page's scroll) to its windows drawn and idle with every
# tile in view showing its picture, so they hold none of Wine's start-up,
# which the line before them states; a scroll also tells how long the
# window's thread was busy on it (on one page when paging) before it answered
# again.
windows_build=${WINDOWS_BUILD:-build-windows64}
gallery_bench=$windows_build/tools/sorrelwick_gallery_bench.exe
if [[ -f $gallery_bench && -z ${PAIRS:-} ]]; then
    wine_run=(scripts/wine-run.sh --state "$windows_build/wine")
    gallery_set=$work/gallery.DAT
    "$make_sets" textures "$gallery_set" 2000
    gallery_path=$("${wine_run[@]}" --host wine winepath -w "$gallery_set" 2>/dev/null)
    wine_start() {
        local start=$EPOCHREALTIME
        "${wine_run[@]}" "$windows_build/src/sorrelwick-cli.exe" --version >/dev/null 2>&1
        echo "$start $EPOCHREALTIME" | awk '{ printf "%.4f\n", $2 - $1 }'
    }
    cli_list() {
        local start=$EPOCHREALTIME
        "${wine_run[@]}" "$windows_build/src/sorrelwick-cli.exe" list "$gallery_path" >/dev/null 2>&1
        echo "$start $EPOCHREALTIME" | awk '{ printf "%.4f\n", $2 - $1 }'
    }
    declare -a opened=() open_peak=() scrolled=() scroll_busy=() paged=() page_busy=()
    declare -a listed=() cli_times=() starts=()
    for ((round = 1; round <= rounds; ++round)); do
        echo "== Windows program, round $round of $rounds" >&2
        read -r t k < <("${wine_run[@]}" "$gallery_bench" gallery "$gallery_path" 2>/dev/null | tail -n 1)
        opened+=("$t") open_peak+=("$k")
        read -r t _ w < <("${wine_run[@]}" "$gallery_bench" scroll "$gallery_path" 2>/dev/null | tail -n 1)
        scrolled+=("$t") scroll_busy+=("$w")
        read -r t _ w < <("${wine_run[@]}" "$gallery_bench" pages "$gallery_path" 2>/dev/null | tail -n 1)
        paged+=("$t") page_busy+=("$w")
        read -r t _ < <("${wine_run[@]}" "$gallery_bench" list "$gallery_path" 2>/dev/null | tail -n 1)
        listed+=("$t")
        cli_times+=("$(cli_list)")
        starts+=("$(wine_start)")
    done
    read -r wm _ _ <<<"$(stats "${starts[@]}")"
    read -r om olo ohi <<<"$(stats "${opened[@]}")"
    read -r pm _ phi <<<"$(stats "${open_peak[@]}")"
    read -r gm glo ghi <<<"$(stats "${scrolled[@]}")"
    read -r gbm gblo gbhi <<<"$(stats "${scroll_busy[@]}")"
    read -r am alo ahi <<<"$(stats "${paged[@]}")"
    read -r bm blo bhi <<<"$(stats "${page_busy[@]}")"
    read -r lm llo lhi <<<"$(stats "${listed[@]}")"
    read -r cm clo chi <<<"$(stats "${cli_times[@]}")"
    echo
    echo "Windows program under Wine, 2000 textures; Wine's start-up alone: ${wm} s"
    printf '| %-40s | %-22s |\n' step "seconds (least-greatest)"
    printf '| %-40s | %6.3f (%6.3f-%6.3f) |\n' "gallery opened, tiles in view drawn" "$om" "$olo" "$ohi"
    printf '| %-40s | %6.3f (%6.3f-%6.3f) |\n' "scrolled to the end, tiles in view drawn" "$gm" "$glo" "$ghi"
    printf '| %-40s | %6.3f (%6.3f-%6.3f) |\n' "  the window busy on that scroll" "$gbm" "$gblo" "$gbhi"
    printf '| %-40s | %6.3f (%6.3f-%6.3f) |\n' "paged to the end, last tiles drawn" "$am" "$alo" "$ahi"
    printf '| %-40s | %6.3f (%6.3f-%6.3f) |\n' "  the window busy on its longest page" "$bm" "$blo" "$bhi"
    printf '| %-40s | %6.3f (%6.3f-%6.3f) |\n' "listing shown in the report" "$lm" "$llo" "$lhi"
    printf '| %-40s | %6.3f (%6.3f-%6.3f) |\n' "sorrelwick-cli.exe list, with start-up" "$cm" "$clo" "$chi"
    awk -v p="$pm" -v h="$phi" 'BEGIN { printf "gallery peak memory: %.1f MiB (greatest %.1f)\n", p / 1024, h / 1024 }'
    awk -v l="$lm" -v c="$cm" 'BEGIN { printf "report listing / CLI listing: %.2f\n", l / c }'
fi
