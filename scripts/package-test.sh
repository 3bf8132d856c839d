#!/usr/bin/env bash
# package-test.sh BUILD_DIR: installs the build into an empty folder and checks
# that every file a user needs is there, then builds the Debian package and
# checks it holds exactly the same files and depends on Qt 6, and that lintian
# finds no error or warning in it. Also checks that the change log's newest
# version is the one the programs print.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: package-test.sh BUILD_DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "package-test: $*" >&2
  failures=$((failures + 1))
}

expected=(
  bin/pennafor-setting-tool
  bin/pennafor-cli
  lib/pennafor-setting-tool/pennafor-printer-sim
  share/doc/pennafor-setting-tool/copyright
  share/doc/pennafor-setting-tool/changelog.gz
  share/doc/pennafor-setting-tool/THIRD-PARTY.md
  share/pennafor-setting-tool/Chinese.lng
  share/pennafor-setting-tool/English.lng
  share/applications/pennafor-setting-tool.desktop
  share/icons/hicolor/scalable/apps/pennafor-setting-tool.svg
  share/icons/hicolor/48x48/apps/pennafor-setting-tool.png
  share/man/man1/pennafor-setting-tool.1.gz
  share/man/man1/pennafor-cli.1.gz
  share/man/man1/pennafor-printer-sim.1.gz
  share/bash-completion/completions/pennafor-cli
  lib/udev/rules.d/60-pennafor-printer.rules
)

echo "== install into an empty folder"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in "${expected[@]}"; do
  [[ -f $prefix/$file ]] || fail "not installed: $file"
done
for program in bin/pennafor-setting-tool bin/pennafor-cli lib/pennafor-setting-tool/pennafor-printer-sim; do
  [[ -x $prefix/$program ]] || fail "not executable: $program"
  program=${program##*/}
  zcat "$prefix/share/man/man1/$program.1.gz" 2>/dev/null | grep -q '^\.TH' ||
    fail "share/man/man1/$program.1.gz is not a manual page"
done
desktop-file-validate "$prefix/share/applications/pennafor-setting-tool.desktop" ||
  fail "the desktop entry does not validate"
# A PNG's width and height are the big-endian words at bytes 16 and 20.
size=$(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/48x48/apps/pennafor-setting-tool.png" | xargs)
[[ $size == "0 0 0 48 0 0 0 48" ]] || fail "the PNG icon is not 48x48 (bytes: $size)"
bash -n "$prefix/share/bash-completion/completions/pennafor-cli" || fail "the completion is not valid bash"

# Installed, the programs have no language file beside them: English must
# come from share/pennafor-setting-tool.
data=$work/data
language_err=$("$prefix/bin/pennafor-cli" --data-dir "$data" --language en --serial "$work/no-port" test 2>&1 >/dev/null || true)
[[ $language_err != *"was not found"* ]] || fail "the installed CLI does not find English.lng: $language_err"
"$prefix/bin/pennafor-cli" --data-dir "$data" --version | grep -qx "Data folder: $data" ||
  fail "pennafor-cli --version does not name its data folder"
# Installed, the data stay out of bin/ even when it is writable (root).
XDG_CONFIG_HOME=$work/config "$prefix/bin/pennafor-cli" --version |
  grep -qx "Data folder: $work/config/pennafor-setting-tool" ||
  fail "the installed pennafor-cli does not keep its data in \$XDG_CONFIG_HOME/pennafor-setting-tool"

# The virtual printer is a testing aid: nothing of it belongs on the search path.
[[ ! -e $prefix/bin/pennafor-printer-sim ]] || fail "the virtual printer is installed in bin/"

installed=$(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)

echo "== the change log's newest version is the programs' version"
version=$("$build/bin/pennafor-cli" --version | sed -n 's/.*Setting Tool V\([0-9][0-9.]*\)).*/\1/p')
logged=$(sed -n 's/^## \[\{0,1\}\([0-9][0-9.]*\).*/\1/p' "$root/CHANGELOG.md" | head -n1)
[[ -n $version && $version == "$logged" ]] ||
  fail "pennafor-cli --version says '$version', CHANGELOG.md's newest is '$logged'"
packaged_version=$(zcat "$prefix/share/doc/pennafor-setting-tool/changelog.gz" 2>/dev/null |
  dpkg-parsechangelog -l- -SVersion 2>/dev/null || true)
[[ $packaged_version == "$version" ]] ||
  fail "the installed changelog.gz's newest entry is '$packaged_version', not '$version'"
for program in pennafor-setting-tool pennafor-printer-sim; do
  "$build/bin/$program" --version | grep -q "V$version)" || fail "$program --version does not say $version"
done

echo "== Debian package"
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  fail "cpack -G DEB failed"
}
deb=$build/pennafor-setting-tool_${version}_$(dpkg --print-architecture).deb
if [[ ! -f $deb ]]; then
  fail "no package $deb"
else
  packaged=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort)
  if [[ $packaged != "$installed" ]]; then
    fail "the package's files differ from the installation's (< installed, > packaged):"
    diff <(echo "$installed") <(echo "$packaged") >&2 || true
  fi
  info=$(dpkg-deb -I "$deb")
  grep -q '^ Depends:.*libqt6' <<<"$info" || fail "the package does not depend on libqt6: $info"
  # Pictures are decoded by stb_image, linked as a shared library.
  grep -q '^ Depends:.*libstb0' <<<"$info" || fail "the package does not depend on libstb0: $info"
  grep -q '^ Section: utils' <<<"$info" || fail "the package's section is not utils"
  grep -q '^ Maintainer: .' <<<"$info" || fail "the package has no maintainer"
  for script in postinst postrm; do
    grep -Eq "[[:space:]]$script([[:space:]]|$)" <<<"$info" || fail "the package has no $script"
  done

  # Debian's own judgement of the package: no error, no warning, and none of
  # the hardening notes (those are only informational, but a release build
  # is meant to carry every one of them).
  echo "== lintian"
  if command -v lintian >/dev/null; then
    report=$(lintian --display-info "$deb" 2>&1 | grep -v 'running with root privileges' || true)
    [[ -z $report ]] || echo "$report"
    errors=$(grep -c '^E: ' <<<"$report" || true)
    warnings=$(grep -c '^W: ' <<<"$report" || true)
    echo "lintian: $errors error(s), $warnings warning(s)"
    ((errors == 0 && warnings == 0)) || fail "lintian reports $errors error(s) and $warnings warning(s)"
    ! grep -q ' hardening-' <<<"$report" || fail "lintian finds hardening missing"
  else
    fail "lintian is not installed (scripts/setup.sh installs it)"
  fi
fi

if ((failures)); then
  echo "package-test: $failures check(s) failed" >&2
  exit 1
fi
echo "package-test: all checks passed"
