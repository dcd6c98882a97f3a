#!/usr/bin/env bash
# Runs a Windows tuning test under Wine with the test master copied into the test prefix's system
# folder (system32 for 64-bit programs, syswow64 for 32-bit ones) as LIBMTS.dll, and removes it
# afterwards so that no other test finds it.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
runner="$here/cmake/wine-run.sh"
system_folder=$1
test_program=$2
master=$3
shift 3
export WINEPREFIX="${VORNA_WINEPREFIX:-$here/build/wineprefix}"
"$runner" cmd /c exit >/dev/null 2>&1 || true  # creates the prefix when needed
target="$WINEPREFIX/drive_c/windows/$system_folder/LIBMTS.dll"
cp "$master" "$target"
trap 'rm -f "$target"' EXIT
"$runner" "$test_program" "$@"
