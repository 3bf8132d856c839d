#!/usr/bin/env bash
# Builds the tool and starts its window. With no --serial given, a virtual
# printer is started on a pseudo-terminal and on UDP 127.0.0.1:5100, and the
# window is aimed at it, so "测试通讯" (test communication) succeeds at once.
#
#   scripts/run.sh                          window, virtual printer
#   scripts/run.sh --serial /dev/ttyUSB0    window, a real printer on that port
#   scripts/run.sh cli [ARGS...]            pennafor-cli (virtual printer
#                                           unless ARGS names a printer:
#                                           --serial, --udp(-range), --usb)
#
# The window needs a display; on a machine without one, run it under a
# virtual X server: xvfb-run -a scripts/run.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh >&2
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
bin=$root/build/release/bin

mode=window
if [[ ${1:-} == cli ]]; then
  mode=cli
  shift
fi
args=("$@")
uses_printer=0
for a in "${args[@]}"; do
  [[ $a =~ ^--(serial|udp|udp-range|usb)(=.*)?$ ]] && uses_printer=1
done

if [[ $mode == window && -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "run: no display to open the window on; try: xvfb-run -a scripts/run.sh" >&2
  echo "     or the command line: scripts/run.sh cli test" >&2
  exit 1
fi

if (( uses_printer )); then
  if [[ $mode == cli ]]; then
    exec "$bin/pennafor-cli" "${args[@]}"
  fi
  exec "$bin/pennafor-setting-tool" "${args[@]}"
fi

link=${TMPDIR:-/tmp}/pennafor-printer-$$
sim=
trap '[[ -n $sim ]] && kill $sim 2>/dev/null; wait 2>/dev/null || true' EXIT
start_printer() {
  # Its ready line goes with run.sh's own notes: standard output is the program's.
  "$bin/pennafor-printer-sim" --pty "$link" "$@" >&2 &
  sim=$!
  for _ in $(seq 100); do
    [[ -e $link ]] && return 0
    kill -0 $sim 2>/dev/null || return 1
    sleep 0.05
  done
  kill $sim 2>/dev/null
  wait $sim 2>/dev/null || true
  return 1
}
# In the window, the network link too, at its default port 5100; when that
# port is taken, the serial link alone.
if [[ $mode == window ]] && start_printer --udp 127.0.0.1:5100; then
  echo "Virtual printer also on UDP 127.0.0.1:5100" >&2
elif ! start_printer; then
  echo "run: the virtual printer did not start" >&2
  exit 1
fi
echo "Virtual printer on $link" >&2

if [[ $mode == cli ]]; then
  (( ${#args[@]} )) || args=(test)
  "$bin/pennafor-cli" --serial "$link" "${args[@]}"
  exit
fi

# A data folder of its own, so that trying the tool leaves the real settings
# alone. On the first run it points the network link at the virtual printer.
data=$root/build/release/try-data
mkdir -p "$data"
if [[ ! -e $data/sysconfig.ini ]]; then
  printf '[MainDefault]\nIP Address=127.0.0.1\n' >"$data/sysconfig.ini"
fi
"$bin/pennafor-setting-tool" --data-dir "$data" --serial "$link" "${args[@]}"
