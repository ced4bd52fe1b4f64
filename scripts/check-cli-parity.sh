#!/usr/bin/env bash
# check-cli-parity.sh NATIVE_BUILD WINDOWS_BUILD
#
# Lists the same chess sets with the native sorrelwick-cli and, under Wine,
# with the Windows one, and fails unless both print the same bytes and exit
# with the same status. The sets: the demo sets, each by its bare name and one
# by its full path, and a missing file. The column and failure cases of the
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

echo "cli parity: $checked listings compared, $differing differing"
[[ $differing -eq 0 ]]
