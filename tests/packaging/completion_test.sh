#!/usr/bin/env bash
# completion_test.sh BIN_DIR COMPLETION: what the bash completion of
# pennafor-cli offers after each kind of word, asking the built program.
set -uo pipefail
PATH=$(cd "${1:?usage: completion_test.sh BIN_DIR COMPLETION}" && pwd):$PATH
# shellcheck source=/dev/null
source "${2:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch shop.png logo.BMP photo.jpeg anim.gif notes.txt shop.ini
mkdir pictures

failures=0
# expect "OFFERED..." WORD...: the words typed, the last one being completed.
expect() {
  local wanted=$1
  shift
  COMP_WORDS=(pennafor-cli "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _pennafor_cli
  local offered
  offered=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
  if [[ $offered != "$wanted" ]]; then
    echo "completion-test: after '$*' offered '$offered', wanted '$wanted'" >&2
    failures=$((failures + 1))
  fi
}

[[ $(complete -p pennafor-cli) == *"-F _pennafor_cli"* ]] || { echo "completion-test: not registered" >&2; exit 1; }

expect "list-logos list-ports list-usb" list-
expect "anim.gif logo.BMP photo.jpeg pictures shop.png" download-logos ""
expect "anim.gif logo.BMP photo.jpeg pictures shop.png" download-logos --fit 384 shop.png ""
expect "floyd-steinberg" download-logos --dither f
expect "CP850 CP852 CP855 CP856 CP857 CP858" set-codepage CP85
expect "5 50 51 52" set-codepage 5
expect "" set-codepage Rev
expect "" set-codepage CP850 ""
expect "--force --help --verify" download-font --
expect "--no-check" print-logos --n
expect "--limit --loader-waiting" update-firmware --l
expect "show" profile ""
expect "pictures shop.ini" profile show ""
expect "pictures shop.ini" --serial /dev/ttyS0 apply ""
expect "notes.txt" read-memory 0 16 no

if ((failures)); then
  echo "completion-test: $failures check(s) failed" >&2
  exit 1
fi
echo "completion-test: all checks passed"
