#!/usr/bin/env bash
# Refuses every #include that crosses the layers of src/layers.txt: a file under src/<layer>/ may
# include its own layer's headers and those of the layers listed for it, nothing else. Prints each
# breach with the file, the include and the rule, and fails when there is one.
#   tools/check-layers.sh [source-folder]   (default: the project's src/)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
src=${1:-$root/src}
rules="$src/layers.txt"
if [ ! -f "$rules" ]; then
  echo "check-layers: $rules is missing" >&2
  exit 2
fi

declare -A allowed
while IFS= read -r line; do
  [[ "$line" =~ ^([a-z0-9]+):(.*)$ ]] || continue
  allowed[${BASH_REMATCH[1]}]=" ${BASH_REMATCH[1]} ${BASH_REMATCH[2]} "
done <"$rules"

breaches=0
while IFS= read -r file; do
  relative=${file#"$src"/}
  layer=${relative%%/*}
  [ "$layer" = "$relative" ] && continue # files directly under src/ belong to no layer
  if [ -z "${allowed[$layer]+set}" ]; then
    echo "$relative: the folder '$layer' is not a layer of src/layers.txt"
    breaches=$((breaches + 1))
    continue
  fi
  while IFS= read -r include; do
    target=${include%%/*}
    # Only includes of the project's own folders are layered.
    [ -d "$src/$target" ] || continue
    if [[ "${allowed[$layer]}" != *" $target "* ]]; then
      echo "$relative: #include \"$include\": $layer may include only$(echo "${allowed[$layer]}" | sed 's/ \+/ /g; s/ $//')"
      breaches=$((breaches + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if [ "$breaches" -gt 0 ]; then
  echo "check-layers: $breaches include(s) break the layers of src/layers.txt" >&2
  exit 1
fi
echo "check-layers: every include keeps to the layers of src/layers.txt"
