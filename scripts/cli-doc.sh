#!/usr/bin/env bash
# cli-doc.sh [--check] PENNAFOR_CLI [DOC]: writes pennafor-cli's own help into
# DOC (default docs/cli.md): the main help, then each command's --help, between
# the two "generated" marks; the text around them is written by hand and kept.
# With --check nothing is written: it fails, showing the difference, when DOC
# does not say what the program says (CTest's cli_doc), so the page cannot
# drift from the program. Regenerate with: cmake --build build/release --target cli_doc
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
check=0
if [[ ${1:-} == --check ]]; then
  check=1
  shift
fi
cli=${1:?usage: cli-doc.sh [--check] PENNAFOR_CLI [DOC]}
doc=${2:-$root/docs/cli.md}
begin='<!-- generated from pennafor-cli --help: begin -->'
end='<!-- generated from pennafor-cli --help: end -->'

# English whatever the caller's locale and whatever language a window once
# chose: an empty data folder has no stored choice.
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
help() { LC_ALL=C "$cli" --data-dir "$data" --language en "$@"; }

# A command is the lower-case words that open a line of the main help's
# command lists ("profile show FILE" is "profile show").
commands() {
  awk '/^[A-Z][A-Za-z ]*:$/ { section = $0; next }
       section != "Options:" && section != "Exit status:" && /^  [a-z]/ {
         name = ""
         for (i = 1; i <= NF && $i ~ /^[a-z][a-z0-9-]*$/; i++) name = (name == "" ? $i : name " " $i)
         print name
       }'
}

generated() {
  local main
  main=$(help --help)
  echo "$begin"
  echo
  echo '## `pennafor-cli --help`'
  echo
  echo '```text'
  echo "$main"
  echo '```'
  local name
  while read -r name; do
    echo
    echo "### \`$name\`"
    echo
    echo '```text'
    # shellcheck disable=SC2086 # "profile show" is two words
    help $name --help
    echo '```'
  done < <(commands <<<"$main")
  echo
  echo "$end"
}

[[ -f $doc ]] || { echo "cli-doc: $doc does not exist" >&2; exit 1; }
grep -qxF "$begin" "$doc" && grep -qxF "$end" "$doc" ||
  { echo "cli-doc: $doc lacks the lines '$begin' and '$end'" >&2; exit 1; }
new=$data/cli.md
{
  sed "/^$begin\$/,\$d" "$doc"
  generated
  sed "1,/^$end\$/d" "$doc"
} >"$new"

if ((check)); then
  if ! diff -u "$doc" "$new"; then
    echo "cli-doc: $doc differs from what pennafor-cli --help says;" \
      "regenerate it: cmake --build BUILD_DIR --target cli_doc" >&2
    exit 1
  fi
  echo "cli-doc: $doc matches pennafor-cli's help ($(commands <<<"$(help --help)" | wc -l) commands)"
else
  cp "$new" "$doc"
fi
