#!/bin/sh
# changelog-from-markdown.sh CHANGELOG.md PACKAGE VERSION MAINTAINER: writes
# the package's Debian change log on standard output, one entry per version
# section of CHANGELOG.md ("## 1.0 - 2026-12-08"), newest first. The
# "Unreleased" section describes what this build holds beyond its newest
# release, so its items open the entry of the version being built. Items are
# re-wrapped: Debian's tools read lines of at most 80 characters.
set -eu
markdown=$1 package=$2 version=$3 maintainer=$4
LC_ALL=C awk -v package="$package" -v version="$version" -v maintainer="$maintainer" '
function add_item(   width, prefix, n, i, line) {
  if (item == "") return
  width = 78 - indent
  prefix = substr("          ", 1, indent) "* "
  n = split(item, words, " ")
  line = ""
  for (i = 1; i <= n; i++) {
    if (line != "" && length(line) + 1 + length(words[i]) > width) {
      body[current] = body[current] prefix line "\n"
      prefix = substr("            ", 1, indent + 2)
      line = words[i]
    } else {
      line = (line == "" ? words[i] : line " " words[i])
    }
  }
  body[current] = body[current] prefix line "\n"
  item = ""
}
function rfc2822(day,   command, stamp) {
  command = "date -u -R -d " day
  command | getline stamp
  close(command)
  return stamp
}
BEGIN { "date -u +%Y-%m-%d" | getline today; count = 0; current = "" }
/^## / {
  add_item()
  if ($2 ~ /^\[?[0-9]/) {
    count++
    current = count
    name[current] = $2
    gsub(/[][]/, "", name[current])
    day[current] = today
    if (match($0, /[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]/)) day[current] = substr($0, RSTART, RLENGTH)
  } else {
    current = "unreleased"
  }
  next
}
/^# / || current == "" { next }
/^[[:space:]]*$/ { add_item(); next }
{
  text = $0
  if (match(text, /^ *[-*] /)) {
    add_item()
    indent = RLENGTH
    text = substr(text, RLENGTH + 1)
  } else if (item == "") {
    indent = 2
  }
  sub(/^ +/, "", text)
  item = (item == "" ? text : item " " text)
}
END {
  add_item()
  built = 0
  for (i = 1; i <= count; i++) if (name[i] == version) built = i
  if (!built && body["unreleased"] != "") {
    # A version not yet given its own section: the Unreleased items are its.
    for (i = count; i >= 1; i--) { name[i + 1] = name[i]; day[i + 1] = day[i]; body[i + 1] = body[i] }
    count++
    built = 1
    name[1] = version
    day[1] = today
    body[1] = ""
  }
  if (built) body[built] = body["unreleased"] body[built]
  for (i = 1; i <= count; i++)
    printf "%s (%s) unstable; urgency=medium\n\n%s\n -- %s  %s\n%s", package, name[i], body[i],
           maintainer, rfc2822(day[i]), (i < count ? "\n" : "")
}
' "$markdown"
