#!/usr/bin/env bash
# The layering check against a scratch copy of the sources: clean as they are, and refusing, with
# the file, the include and the rule named, each kind of upward include added to one file.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
check="$root/tools/check-layers.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fresh_copy() {
  rm -rf "$scratch/src"
  cp -r "$root/src" "$scratch/src"
}

fresh_copy
if ! "$check" "$scratch/src" >/dev/null; then
  echo "FAIL: the sources as they are break the layers"
  "$check" "$scratch/src" || true
  failures=$((failures + 1))
fi

# expect_refused <file under src> <include> <layer named in the message>
expect_refused() {
  local file=$1 include=$2 layer=$3 output
  fresh_copy
  sed -i "1i #include \"$include\"" "$scratch/src/$file"
  if output=$("$check" "$scratch/src" 2>&1); then
    echo "FAIL: #include \"$include\" in $file passed the check"
    failures=$((failures + 1))
  elif ! grep -q "^$file: #include \"$include\": $layer may include only" <<<"$output"; then
    echo "FAIL: the refusal of $include in $file does not name the file, include and rule:"
    echo "$output"
    failures=$((failures + 1))
  else
    echo "refused as it should be: $include in $file"
  fi
}

expect_refused engine/RenderLoop.cpp editor/VornEditor.h engine
expect_refused platform/Mutex.cpp graphics/Surface.h platform
expect_refused editor/FBKnobControl.h vorn/Vorn.h editor
expect_refused host/PluginBase.h vst2/Vst2Adapter.h host
expect_refused graphics/Graphics.cpp window/NativeWindows.h graphics

[ "$failures" -eq 0 ]
