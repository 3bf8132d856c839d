#!/usr/bin/env bash
# Builds Qt 6 (Core, Gui, Widgets, Test and the windows platform plugin, as DLLs) for 64-bit Windows
# with Debian's mingw-w64, from the same Debian source package as the installed qt6-base (6.4.2), so the
# host's moc/rcc/uic match. Result: PREFIX (default /opt/qt6-mingw-6.4.2) and, with --tarball FILE, a
# tar.xz of it. Takes about 35-45 minutes on two cores; a cached tarball unpacks in seconds:
#   tar -C / -xJf qt6-mingw-6.4.2.tar.xz
# The project's toolchain file (cmake/mingw-w64-x86_64.cmake) finds it in the default PREFIX, or where
# PST_QT_MINGW_DIR says; scripts/setup.sh runs this script once and keeps the tarball. Needs root for apt-get; the source list for the source package is made from
# the machine's own Debian source list (deb lines turned into deb-src), in a scratch folder.
set -euo pipefail
prefix=/opt/qt6-mingw-6.4.2
tarball=
while (($#)); do
  case $1 in
    --prefix) prefix=$2; shift 2 ;;
    --tarball) tarball=$(realpath -m "$2"); shift 2 ;;
    *) echo "usage: $0 [--prefix DIR] [--tarball FILE.tar.xz]" >&2; exit 2 ;;
  esac
done
need=(g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools cmake ninja-build perl dpkg-dev xz-utils)
missing=()
for p in "${need[@]}"; do dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p"); done
((${#missing[@]})) && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"

work=$(mktemp -d /tmp/qt6-mingw.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/apt/lists/partial"
# deb-src entries from the machine's own Debian sources (deb822 or one-line form)
if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$work/apt/debian-src.sources"
  aptopts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt")
else
  sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > "$work/apt/src.list"
  aptopts=(-o Dir::Etc::SourceList="$work/apt/src.list" -o Dir::Etc::SourceParts=/nonexistent)
fi
aptopts+=(-o Dir::State::Lists="$work/apt/lists")
apt-get "${aptopts[@]}" update -qq
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
(cd "$work" && apt-get "${aptopts[@]}" source --download-only "qt6-base=$version" >/dev/null)
(cd "$work" && dpkg-source -x ./*.dsc src >/dev/null)   # applies Debian's patches

mkdir -p "$prefix"
cat > "$prefix/mingw-w64-x86_64.cmake" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_CURRENT_LIST_DIR})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC

# Notes on the options: Debian's repacked source has no wintab headers (tablet events off); the
# DirectWrite font database of 6.4 is built only with Direct2D on, so Direct2D stays on (1.1 off);
# Debian's cross patch turns androiddeployqt on, so it is turned off; bundled image and text libraries
# keep the host's Linux libraries out.
mkdir "$work/build"
cd "$work/build"
../src/configure -prefix "$prefix" -xplatform win32-g++ -qt-host-path /usr \
  -release -shared -nomake examples -nomake tests \
  -no-opengl -no-dbus -no-feature-sql -no-feature-network -no-feature-xml \
  -no-feature-printsupport -no-feature-concurrent -no-feature-androiddeployqt \
  -no-feature-tabletevent -no-feature-direct2d1_1 -no-vulkan \
  -no-pkg-config -no-zstd -no-icu -no-glib \
  -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion \
  -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake > "$work/configure.log"
cmake --build . --parallel "${JOBS:-2}"
cmake --install . > /dev/null
# qmake's module files name the scratch build folder; point them at a neutral one
grep -rlI --null "$work" "$prefix" | xargs -0 -r sed -i "s#$work#/usr/src/qt6-base-build#g"
# the mingw runtime DLLs a deployed program needs next to it
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  f=$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32 -name "$dll" -path '*posix*' 2>/dev/null | head -n1)
  [[ -n $f ]] || f=$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32 -name "$dll" 2>/dev/null | head -n1)
  [[ -n $f ]] && cp "$f" "$prefix/bin/"
done
echo "qt6-base $version for mingw-w64 (posix threads), built $(date -u +%Y-%m-%d)" > "$prefix/BUILD-INFO"
if [[ -n $tarball ]]; then
  mkdir -p "$(dirname "$tarball")"
  tar -C / -cJf "$tarball" "${prefix#/}"
  echo "wrote $tarball"
fi
echo "Qt for Windows in $prefix"
