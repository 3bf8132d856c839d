#!/usr/bin/env bash
# Installs what building and testing need, on Debian, as root. Safe to run
# again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(g++ cmake make pkg-config libgtest-dev libgmock-dev googletest
  # logo pictures: PNG, JPEG and GIF decoding and the preview PNG
  libstb-dev
  # the fuzz targets (scripts/fuzz.sh): clang with libFuzzer and the sanitizers
  clang libclang-rt-dev
  # the windows: Qt 6 Widgets, a virtual X server for trying them headless,
  # and a font with Chinese characters
  qt6-base-dev libgl-dev xvfb xauth fonts-wqy-microhei
  # Qt's own texts (file dialogs, Yes/No/OK buttons) in Chinese: the window
  # program loads qtbase_zh_CN from it, and a window test checks that it does
  qt6-translations-l10n
  # the command line's reports and --json (header-only), and the check of
  # every command's --json against docs/cli-json-schema.json
  nlohmann-json3-dev python3-jsonschema
  # installing and packaging: manual pages from --help, the icon's PNG, the
  # desktop entry's check, and the shared-library lookup of the .deb
  help2man librsvg2-bin desktop-file-utils dpkg-dev
  # Debian's checks of the built package (scripts/package-test.sh)
  lintian
  # the Windows build and its test under Wine, and the Windows installer
  mingw-w64 wine64 nsis
  # a compiler cache, so that the three builds and later runs share work
  ccache)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: these packages are missing: ${missing[*]} (run as root, or install them)" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Qt for Windows, which Debian does not carry: the windows' cross build links
# it. A ready one from ../shared/toolchains beside the clone, else the copy
# this script keeps in the cache folder, else it is built once from Debian's
# own Qt source (scripts/build-qt-windows.sh: 35 to 45 minutes on two cores)
# and kept in the cache folder for the next time.
qt_windows=/opt/qt6-mingw-6.4.2
qt_tarball=qt6-mingw-6.4.2.tar.xz
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${PST_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/pennafor-setting-tool}
if [[ ! -f $qt_windows/lib/cmake/Qt6/Qt6Config.cmake ]]; then
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: Qt for Windows is missing in $qt_windows (run as root to get it)" >&2
    exit 1
  fi
  if [[ -f $root/../shared/toolchains/$qt_tarball ]]; then
    echo "setup: unpacking Qt for Windows from ../shared/toolchains"
    tar -C / -xJf "$root/../shared/toolchains/$qt_tarball"
  elif [[ -f $cache/$qt_tarball ]]; then
    echo "setup: unpacking Qt for Windows from $cache"
    tar -C / -xJf "$cache/$qt_tarball"
  else
    echo "setup: building Qt for Windows once (35 to 45 minutes on two cores), kept in $cache"
    "$root/scripts/build-qt-windows.sh" --prefix "$qt_windows" --tarball "$cache/$qt_tarball"
  fi
fi
