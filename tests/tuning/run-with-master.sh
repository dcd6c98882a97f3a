#!/usr/bin/env bash
# Runs a tuning test with the test master installed at the fixed path the plug-in looks at,
# /usr/local/lib/libMTS.so, without touching the machine: inside a private mount namespace a
# folder holding only the test master is bound over /usr/local/lib. Without the rights for that,
# the master is installed and removed around the test when the path is free. Otherwise the test
# fails under CI=true, where every test must run, and is skipped elsewhere (exit 77) with a
# "skipped:" line that tools/build.sh puts into its list of skips.
set -u
test_program=$1
master=$2
shift 2
if [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1 &&
   unshare -m true 2>/dev/null; then
  exec unshare -m bash -c '
    set -e
    mount --make-rprivate /
    folder=$(mktemp -d)
    cp "$1" "$folder/libMTS.so"
    mkdir -p /usr/local/lib
    mount --bind "$folder" /usr/local/lib
    shift
    exec "$@"' bash "$master" "$test_program" "$@"
fi
if [ -w /usr/local/lib ] && [ ! -e /usr/local/lib/libMTS.so ]; then
  cp "$master" /usr/local/lib/libMTS.so
  trap 'rm -f /usr/local/lib/libMTS.so' EXIT
  "$test_program" "$@"
  exit $?
fi
reason="cannot place the test master at /usr/local/lib/libMTS.so (not root, and the folder is not writable)"
if [ "${CI:-}" = true ]; then
  echo "$reason: failing, as every test must run under CI" >&2
  exit 1
fi
echo "skipped: $reason"
exit 77
