#!/usr/bin/env bash
# Breaks the code on purpose, one fault at a time, to show that the tests notice.
# Each line of scripts/faults.txt is: id, preset, ctest regex, file, text, replacement,
# separated by tabs. In the last two fields \n, \t and \\ stand for a line break,
# a tab and a backslash, so any C++ text fits on one line; '#' starts a comment line.
# Usage: scripts/faults.sh [id...]   (no ids: every fault in the list)
set -u
cd "$(git rev-parse --show-toplevel)" || exit 2
export WINEDEBUG=-all
# A fault is reverted with git, so uncommitted work would be lost with it.
git diff --quiet HEAD || { echo "faults.sh: commit or stash your changes first" >&2; exit 2; }
logs=$(mktemp -d)
current=
revert() { [ -n "$current" ] && git checkout -q -- "$current"; current=; }
trap revert EXIT
trap 'revert; exit 130' INT TERM

# Replaces the one occurrence of the text; refuses text found zero or several times.
apply() {
  python3 - "$@" <<'PY'
import re, sys
path, old, new = sys.argv[1:]
unescape = lambda s: re.sub(r'\\([nt\\])', lambda m: {'n': '\n', 't': '\t', '\\': '\\'}[m[1]], s)
old, new = unescape(old), unescape(new)
with open(path, encoding='utf-8', newline='') as f: text = f.read()
if text.count(old) != 1: sys.exit(f'{path}: text found {text.count(old)} times')
with open(path, 'w', encoding='utf-8', newline='') as f: f.write(text.replace(old, new))
PY
}

total=0 caught=0
while IFS=$'\t' read -r id preset regex file old new <&3; do
  case "$id" in ''|'#'*) continue ;; esac
  if [ $# -gt 0 ] && [[ " $* " != *" $id "* ]]; then continue; fi
  total=$((total + 1)) log="$logs/$id.log"
  if ! git diff --quiet -- "$file" || ! apply "$file" "$old" "$new" >"$log" 2>&1; then
    echo "BROKEN  $id: did not apply ($(tail -1 "$log"))"; continue
  fi
  current=$file
  if ! cmake --build --preset "$preset" >>"$log" 2>&1; then
    echo "BROKEN  $id: did not build (see $log)"; revert; continue
  fi
  ctest --preset "$preset" -j2 --stop-on-failure --timeout 600 -R "$regex" >>"$log" 2>&1
  revert
  # Only a run that got as far as its summary judges the fault: no test found is no verdict.
  if ! grep -q 'tests passed, .* tests failed out of' "$log"; then
    echo "BROKEN  $id: no tests ran for '$regex'"
  elif grep -q ' 0 tests failed out of' "$log"; then
    echo "MISSED  $id"
  else
    caught=$((caught + 1))
    echo "CAUGHT  $id: $(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (.*)$/\1/p' "$log" | tr '\n' ' ')"
  fi
done 3<scripts/faults.txt
echo "$caught of $total caught"
[ "$total" -gt 0 ] && [ "$caught" -eq "$total" ]
