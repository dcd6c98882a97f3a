#!/usr/bin/env bash
# Runs a Windows program of the cross-builds under Wine, in a private prefix under build/:
#   wine-run.sh win64|win32 PROGRAM [ARGUMENT...]
set -e
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"
wine_environment "$1"
shift
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine_loader" wineboot --init >/dev/null 2>&1 || true
  "$wine_server" -w || true
fi
# The server outlives the first program that starts it; started here with its output detached, so
# that it does not hold that program's output open (ctest would count the test as running until
# the server ends). It stays a minute after the last program and then quits by itself.
"$wine_server" -p60 </dev/null >/dev/null 2>&1 || true
exec "$wine_loader" "$@"
