#!/usr/bin/env bash
# check-method-casing.sh SRC_DIR ALLOWED_LIST: fails when a member function
# of SRC_DIR is declared or defined with an UpperCamelCase name that is not on
# ALLOWED_LIST (one name a line, '#' comments). Methods are lowerCamelCase;
# the list holds the names the design gives, kept as given. Run by CTest;
# prints every offending declaration.
set -euo pipefail
src=$1
list=$2

declare -A allowed=()
while IFS= read -r name; do
  name=${name%%#*}
  name=${name//[[:space:]]/}
  [[ -n $name ]] && allowed[$name]=1
done <"$list"

# Indented "Type Name(" is a declaration inside a class body (free functions
# start at the left margin); a statement keyword in front is a call.
in_class='^\s+(?!(?:return|else|case|throw|new|delete|co_return|goto|using|typedef|explicit|friend)\b)(?:[A-Za-z_][\w:<>]*[\s*&]+)+\K[A-Z]\w*(?=\s*\()'
# "Class::Name(" at the left margin is an out-of-line definition; the name
# repeating the class is a constructor.
out_of_class='^[^\s/#][^;(]*?\b[A-Z]\w*::\K[A-Z]\w*(?=\s*\()'

status=0
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}; line=${rest%%:*}; name=${rest#*:}
  text=$(sed -n "${line}p" "$file")
  [[ $text =~ (^|[^[:alnum:]_])${name}::${name}[[:space:]]*\( ]] && continue
  [[ -n ${allowed[$name]+set} ]] && continue
  echo "${file#"$src"/}:$line: method $name is not lowerCamelCase"
  status=1
done < <(grep -rnoP "$in_class|$out_of_class" "$src" --include='*.h' --include='*.cpp' || true)
exit $status
