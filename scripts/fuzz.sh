#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for SECONDS each (default
# 300), one after the other at low priority. Corpora stay in
# build-fuzz/corpus/<target>/ (outside git) and grow from run to run; every
# input that broke an invariant, crashed or hung is copied into
# tests/fuzz/reproducers/<target>/, where the replay tests of every build pick
# it up once it is committed. Exits 1 when any target found something.
# TARGETS="listing tga_decode" runs only those; SKIP_BUILD=1 runs what is built.
set -euo pipefail

seconds=${1:-300}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
cd "$root"

if [[ -z ${SKIP_BUILD:-} ]]; then
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz
    "$build/tools/make-fuzz-seeds" "$build/seeds"
fi

# Runs per second, or "?" when either number is missing or no time passed.
PerSecond() {
    [[ ${1:-} =~ ^[0-9]+$ && ${2:-0} -gt 0 ]] && echo $(($1 / $2)) || echo "?"
}

found=0
summary=""
for program in "$build"/tests/fuzz/fuzz_*; do
    [[ -f $program && -x $program ]] || continue
    target=${program##*/fuzz_}
    [[ -z ${TARGETS:-} || " $TARGETS " == *" $target "* ]] || continue
    corpus=$build/corpus/$target
    artifacts=$build/artifacts/$target
    log=$build/logs/$target.log
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
    echo "fuzzing $target for $seconds s"
    start=$SECONDS
    # The machine is shared: CPU seconds tell how much fuzzing was done.
    cpu=$( { TIMEFORMAT='%U %S'; time nice -n 10 "$program" -max_len=65536 -timeout=10 \
        -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "$corpus" "$build/seeds/$target" >"$log" 2>&1 || true; } 2>&1 | awk '{printf "%d", $1 + $2}')
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    took=$((SECONDS - start))
    findings=0
    for input in "$artifacts"/*; do
        [[ -f $input ]] || continue
        mkdir -p "tests/fuzz/reproducers/$target"
        cp "$input" "tests/fuzz/reproducers/$target/"
        rm "$input"
        findings=$((findings + 1))
    done
    [[ $findings -eq 0 ]] || found=1
    summary+=$(printf '%-20s %12s %8s %6s %6s %10s %8d' "$target" "${execs:-?}" \
        "$(PerSecond "$execs" "$took")" "$took" "$cpu" "$(PerSecond "$execs" "$cpu")" \
        "$findings")$'\n'
done
printf '\n%-20s %12s %8s %6s %6s %10s %8s\n%s' target runs runs/s s "CPU s" "runs/CPU s" \
    findings "$summary"
[[ $found -eq 0 ]] || echo "new reproducers in tests/fuzz/reproducers/: commit them with the fix"
exit "$found"
