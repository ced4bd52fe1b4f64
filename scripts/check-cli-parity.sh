#!/usr/bin/env bash
# check-cli-parity.sh NATIVE_BUILD WINDOWS_BUILD
#
# Lists the same chess sets with the native sorrelwick-cli and, under Wine,
# with the Windows one, and fails unless both print the same bytes and exit
# with the same status. The sets: the demo sets, each by its bare name and one
# by its full path, and a missing file (the system's words for why are set
# aside: each system has its own). Then writes the preview page of each
# demo set, and one page of changes between two of them, with both and fails
# unless the pages are the same bytes. The column and failure cases of the
# listing are checked line by line by the core tests, which run under Wine too.
set -euo pipefail

[[ $# -eq 2 ]] || { sed -n '2p' "${BASH_SOURCE[0]}" | sed 's/^# //' >&2; exit 2; }
script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
native_build=$(cd "$1" && pwd)
windows_build=$(cd "$2" && pwd)

tool() {  # tool BUILD TARGET: the program's path, empty when the build has none
    sed -n "s/^$2=//p" "$1/tool-paths.txt"
}
native_cli=$(tool "$native_build" sorrelwick-cli)
windows_cli=$(tool "$windows_build" sorrelwick-cli)
make_demo_sets=$(tool "$native_build" make-demo-sets)

work=$windows_build/cli-parity
rm -rf "$work"
mkdir -p "$work/demo"
"$make_demo_sets" "$work/demo"

checked=0
differing=0
# compare FOLDER SET: lists SET from FOLDER with both programs.
compare() {
    local folder=$1 set=$2 native_status=0 windows_status=0
    (cd "$folder" && "$native_cli" list "$set") >"$work/native.out" || native_status=$?
    (cd "$folder" && "$script_dir/wine-run.sh" --state "$windows_build/wine" \
        "$windows_cli" list "$set") >"$work/windows.out" || windows_status=$?
    checked=$((checked + 1))
    # A failure's reason is each system's own text: only its place must agree.
    sed -i 's/^\(  Reason: \).*/\1.../' "$work/native.out" "$work/windows.out"
    if [[ $native_status -ne $windows_status ]] || ! cmp -s "$work/native.out" "$work/windows.out"
    then
        differing=$((differing + 1))
        echo "cli parity: $set differs (exit status native $native_status," \
            "Windows $windows_status)"
        diff -u --label native --label windows "$work/native.out" "$work/windows.out" |
            cat -A | head -n 40 || true
    fi
}

while IFS= read -r set; do
    compare "$work/demo" "$set"
done < <(cd "$work/demo" && ls -1 | sort)
compare "$work/demo" missing.DAT
compare "$work" "$work/demo/A1_demo.DAT"

# compare_pages SET [OPTION...]: the preview page of SET from both programs,
# and their reports.
pages=0
compare_pages() {
    local set=$1 native_status=0 windows_status=0
    shift
    rm -f "$work/demo/native.html" "$work/demo/windows.html"
    (cd "$work/demo" && "$native_cli" preview "$set" native.html "$@") >"$work/native.out" ||
        native_status=$?
    (cd "$work/demo" && "$script_dir/wine-run.sh" --state "$windows_build/wine" \
        "$windows_cli" preview "$set" windows.html "$@") >"$work/windows.out" || windows_status=$?
    sed -i 's/native\.html/PAGE/' "$work/native.out"
    sed -i 's/windows\.html/PAGE/' "$work/windows.out"
    pages=$((pages + 1))
    if [[ $native_status -ne 0 || $windows_status -ne 0 ]] ||
        ! cmp -s "$work/native.out" "$work/windows.out" ||
        ! cmp "$work/demo/native.html" "$work/demo/windows.html"; then
        differing=$((differing + 1))
        echo "cli parity: the preview page of $set $* differs (exit status native" \
            "$native_status, Windows $windows_status)"
        diff -u --label native --label windows "$work/native.out" "$work/windows.out" |
            cat -A | head -n 20 || true
    fi
}

while IFS= read -r set; do
    compare_pages "$set"
done < <(cd "$work/demo" && ls -1 -- *.DAT | sort)
compare_pages A1_demo.DAT --compare B1_demo.DAT

echo "cli parity: $checked listings and $pages preview pages compared, $differing differing"
[[ $differing -eq 0 ]]
