#!/usr/bin/env bash
# Sourced by the scripts that run the cross-built programs under Wine: wine_environment <arch>
# picks the Wine loader, server and private prefix for win64 or win32 programs and exports what
# Wine's own helpers read.
#
# The 64-bit programs go through Wine's 64-bit loader directly. Debian's `wine` script always
# starts the 32-bit loader first, even for a 64-bit program, and a kernel built without 32-bit
# (IA32) emulation cannot run that. The 32-bit programs need it, and use the script as before.
# Each kind has a prefix of its own under build/, so tests never touch the user's Wine set-up.
wine_environment() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  case "$1" in
  win64)
    export WINEPREFIX="${VORNA_WINEPREFIX64:-$root/build/wineprefix64}"
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
    export WINESERVER=/usr/lib/wine/wineserver64
    wine_loader=/usr/lib/wine/wine64
    wine_server=/usr/lib/wine/wineserver64
    ;;
  win32)
    unset WINEARCH WINELOADER WINESERVER
    export WINEPREFIX="${VORNA_WINEPREFIX32:-$root/build/wineprefix32}"
    wine_loader=wine
    wine_server=wineserver
    ;;
  *)
    echo "wine_environment: unknown kind '$1' (win64 or win32)" >&2
    return 2
    ;;
  esac
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}
