#!/usr/bin/env bash
# Runs a Windows program of the cross-builds under Wine, in a private prefix under build/ so that
# tests never touch the user's own Wine set-up.
set -e
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${VORNA_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w || true
fi
# The server outlives the first program that starts it; started here with its output detached, so
# that it does not hold that program's output open (ctest would count the test as running until
# the server ends). It stays a minute after the last program and then quits by itself.
wineserver -p60 </dev/null >/dev/null 2>&1 || true
exec wine "$@"
