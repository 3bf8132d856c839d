#!/usr/bin/env bash
# Fails when a file in src/ includes a folder above its own layer:
#   platform <- transport <- engine <- operations <- requests <- front ends,
# with protocol and texts (pure) below operations. Each front end keeps to
# itself: the window program's composition root is the only place that
# knows both windows. Run by CTest; prints every offending include.
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}

declare -A allowed=(
  [platform]="platform"
  [transport]="platform transport"
  [protocol]="platform protocol"
  [texts]="platform texts"
  [engine]="platform transport protocol engine"
  [operations]="platform protocol texts engine operations"
  [requests]="platform protocol texts engine operations requests"
  [cli]="platform transport protocol texts engine operations requests cli"
  [app]="platform transport protocol texts engine operations requests app"
  [para]="platform protocol texts engine operations requests app para"
  [desktop]="platform transport protocol texts engine operations requests app para desktop"
)

status=0
for dir in "$src"/*/; do
  layer=$(basename "$dir")
  if [[ -z ${allowed[$layer]+set} ]]; then
    echo "src/$layer: a folder with no place in the layer order; add it to scripts/check-layers.sh"
    status=1
    continue
  fi
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}; line=${rest%%:*}
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$rest")
    if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "${file#"$src"/}:$line: $layer may not include $target/"
      status=1
    fi
  done < <(grep -rnoE '^\s*#\s*include "[a-z_]+/' "$dir" --include='*.h' --include='*.cpp' || true)
done
[[ $status -eq 0 ]] && echo "every include keeps to the layer order"
exit $status
