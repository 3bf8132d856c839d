#!/usr/bin/env bash
# manual_test.sh PAGE CLI: the pennafor-cli manual page, as man shows it, has
# each command of the help's Settings section as an entry of its own (help2man
# runs a command into the one before when only one blank separates it from its
# summary), and names the data folder an installed program uses.
set -uo pipefail
page=${1:?usage: manual_test.sh PAGE CLI}
cli=${2:?}
# Wide enough that no line is broken (or a word hyphenated) in the middle of a name.
shown=$(MANWIDTH=1000 man -l "$page" 2>/dev/null) || { echo "manual-test: man cannot read $page" >&2; exit 1; }

failures=0
settings=$("$cli" --language en --help | awk '/^[A-Z][^:]*:$/ { inside = ($0 == "Settings:"); next } inside && /^  [^ ]/ { print $1 }')
[[ -n $settings ]] || { echo "manual-test: the help has no Settings section" >&2; exit 1; }
for command in $settings; do
  # An entry starts its line, indented as a tagged paragraph.
  if ! grep -Eq "^ {7}$command( |$)" <<<"$shown"; then
    echo "manual-test: '$command' is not an entry of its own:" >&2
    grep -m1 -- "$command" <<<"$shown" | cut -c1-120 >&2
    failures=$((failures + 1))
  fi
done
grep -q "installed program uses *\$XDG_CONFIG_HOME/pennafor-setting-tool, *normally *~/.config/pennafor-setting-tool" \
  <<<"$shown" ||
  { echo "manual-test: the page does not name ~/.config/pennafor-setting-tool" >&2; failures=$((failures + 1)); }

if ((failures)); then
  echo "manual-test: $failures check(s) failed" >&2
  exit 1
fi
echo "manual-test: $(wc -w <<<"$settings") Settings commands, each its own entry"
