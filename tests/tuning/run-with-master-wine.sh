#!/usr/bin/env bash
# Runs a Windows tuning test under Wine with the test master copied into the test prefix's system
# folder (system32 for 64-bit programs, syswow64 for 32-bit ones) as LIBMTS.dll, and removes it
# afterwards so that no other test finds it.
#   run-with-master-wine.sh win64|win32 SYSTEM-FOLDER TEST-PROGRAM MASTER [ARGUMENT...]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
runner="$here/cmake/wine-run.sh"
kind=$1
system_folder=$2
test_program=$3
master=$4
shift 4
# shellcheck source=../../cmake/wine-env.sh
. "$here/cmake/wine-env.sh"
wine_environment "$kind"
"$runner" "$kind" cmd /c exit >/dev/null 2>&1 || true # creates the prefix when needed
target="$WINEPREFIX/drive_c/windows/$system_folder/LIBMTS.dll"
cp "$master" "$target"
trap 'rm -f "$target"' EXIT
"$runner" "$kind" "$test_program" "$@"
