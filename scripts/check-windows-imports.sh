#!/usr/bin/env bash
# check-windows-imports.sh OBJDUMP PROGRAM.exe...
#
# Fails when a program imports a DLL that Windows does not ship, so that the
# programs run from a bare folder with nothing installed beside them.
set -euo pipefail

[[ $# -ge 2 ]] || { sed -n '2p' "${BASH_SOURCE[0]}" | sed 's/^# //' >&2; exit 2; }
objdump=$1
shift
is_system_dll() {
    case ${1,,} in
        advapi32.dll | comctl32.dll | comdlg32.dll | gdi32.dll | kernel32.dll | msvcrt.dll | \
            ole32.dll | shell32.dll | user32.dll) return 0 ;;
        *) return 1 ;;
    esac
}

status=0
for program in "$@"; do
    while read -r dll; do
        if ! is_system_dll "$dll"; then
            echo "$(basename "$program") needs $dll, which is not a system DLL"
            status=1
        fi
    done < <("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p')
done
[[ $status -ne 0 ]] || echo "only system DLLs imported by: $(basename -a "$@" | xargs)"
exit "$status"
