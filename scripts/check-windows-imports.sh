#!/usr/bin/env bash
# check-windows-imports.sh OBJDUMP PROGRAM.exe...
#
# Fails when a program imports a DLL that Windows does not ship, so that the
# programs run from a bare folder with nothing installed beside them; and
# when it imports a system function that takes a path or a command line in
# the code page (an "A" function), through which a name in another language
# would reach the system as '?' or as another file's name.
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

takes_narrow_path() {
    case $1 in
        CreateFileA | CreateDirectoryA | DeleteFileA | MoveFileA | MoveFileExA | CopyFileA | \
            GetFileAttributesA | GetFileAttributesExA | SetFileAttributesA | FindFirstFileA | \
            FindFirstFileExA | FindNextFileA | GetCurrentDirectoryA | SetCurrentDirectoryA | \
            GetFullPathNameA | GetTempPathA | GetCommandLineA | GetOpenFileNameA | \
            GetSaveFileNameA | SHBrowseForFolderA | SHGetPathFromIDListA | ShellExecuteA | \
            ShellExecuteExA | RegOpenKeyExA | RegQueryValueExA | ILCreateFromPathA) return 0 ;;
        *) return 1 ;;
    esac
}

status=0
for program in "$@"; do
    while read -r function; do
        if takes_narrow_path "$function"; then
            echo "$(basename "$program") imports $function, which takes a path in the code page"
            status=1
        fi
    done < <("$objdump" -p "$program" | awk '/DLL Name:/ { inside = 1 } inside && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print $3 }')
    while read -r dll; do
        if ! is_system_dll "$dll"; then
            echo "$(basename "$program") needs $dll, which is not a system DLL"
            status=1
        fi
    done < <("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p')
done
[[ $status -ne 0 ]] || echo "only system DLLs and wide path functions imported by: $(basename -a "$@" | xargs)"
exit "$status"
