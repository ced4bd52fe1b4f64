#!/usr/bin/env bash
# Fails when a folder of src/ includes a folder above it: each folder may
# include only itself and the folders before it in this order.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../src"
order=(platform format report set_file backup specular comparison operations mod cli ui)
rank() { local i; for i in "${!order[@]}"; do [[ ${order[$i]} == "$1" ]] && echo "$i" && return; done; echo -1; }
bad=0
while IFS=: read -r file _ include; do
    from=${file%%/*}
    to=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$include")
    [[ $to == "$include" ]] && continue
    from_rank=$(rank "$from") to_rank=$(rank "$to")
    if [[ $to_rank -lt 0 || $from_rank -lt 0 ]]; then continue; fi
    if [[ $to_rank -gt $from_rank ]]; then
        echo "check-include-order: $file includes $to, which is above $from" >&2
        bad=1
    fi
done < <(grep -rn '#include "' --include='*.h' --include='*.cpp' .| sed 's#^\./##')
exit $bad
