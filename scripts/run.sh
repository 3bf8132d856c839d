#!/usr/bin/env bash
# Builds the tool and runs it. With no --serial given, a virtual printer is
# started on a pseudo-terminal and the tool talks to it.
#
#   scripts/run.sh                       link test against the virtual printer
#   scripts/run.sh --serial /dev/ttyUSB0 test    against a real printer
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh >&2
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
bin=build/release/bin

args=("$@")
uses_printer=0
for a in "${args[@]}"; do
  [[ $a == --serial || $a == --serial=* ]] && uses_printer=1
done
(( ${#args[@]} )) || args=(test)

if (( uses_printer )); then
  exec "$bin/pennafor-cli" "${args[@]}"
fi

link=${TMPDIR:-/tmp}/pennafor-printer-$$
"$bin/pennafor-printer-sim" --pty "$link" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 100); do [[ -e $link ]] && break; sleep 0.05; done
echo "Virtual printer on $link" >&2
"$bin/pennafor-cli" --serial "$link" "${args[@]}"
