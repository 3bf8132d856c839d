#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures and builds into DIR with two jobs.
# With ccache installed, compilations are cached: a second build tree or a
# fresh clone rebuilds only what changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$dir" "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j2
