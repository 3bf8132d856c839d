#!/usr/bin/env bash
# windows-test.sh [LINUX_BUILD]: builds the Windows programs and the suites
# that need no virtual printer with mingw-w64 (and Qt for Windows, from
# scripts/setup.sh) into build/windows, runs the suites under Wine (the
# window suites on the offscreen platform), then, against the virtual
# printer of a Linux build (default build/release, which must hold
# pennafor-printer-sim):
# - pennafor-cli.exe from the zip: the network link on 127.0.0.1, and the
#   serial link through a Wine COM port linked to the printer's
#   pseudo-terminal (a link test, a code page, and a font download from a
#   folder named in Chinese read back identical);
# - the windows on the windows platform under a virtual X server: a link
#   test over UDP and through the COM port, and a code page set on the
#   parameter window;
# - the installer: silent install, the installed command line's --version
#   and a link test, silent uninstall leaving nothing behind.
# PST_JOBS sets the build's jobs (2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
linux_build=${1:-build/release}
sim="$linux_build/bin/pennafor-printer-sim"
wine=/usr/lib/wine/wine64
[[ -x $wine ]] || wine=$(command -v wine64 || command -v wine || true)

if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || [[ -z $wine ]]; then
  echo "windows-test: mingw-w64 or Wine is not installed (apt-get install mingw-w64 wine64)" >&2
  exit 1
fi
[[ -x $sim ]] || { echo "windows-test: $sim is missing: build the Linux tree first" >&2; exit 1; }

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
echo "== cross build for Windows"
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPST_WERROR=ON -DPST_BUILD_TESTS=ON >/dev/null
grep -q "^PST_BUILD_WINDOWS:BOOL=ON" build/windows/CMakeCache.txt ||
  { echo "windows-test: no Qt for Windows (scripts/setup.sh puts it in /opt/qt6-mingw-6.4.2)" >&2; exit 1; }
cmake --build build/windows -j"${PST_JOBS:-2}"

echo "== the zip and the installer"
rm -f build/windows/pennafor-setting-tool-*.zip
(cd build/windows && cpack -G ZIP >/dev/null)
zip=$(ls build/windows/pennafor-setting-tool-*-windows-x86_64.zip)
echo "$zip"
cmake --build build/windows --target windows_installer >/dev/null
setup=$(ls build/windows/pennafor-setting-tool-*-windows-x86_64-setup.exe)
echo "$setup"

# A prefix of its own, so that the COM port link and Wine's settings never
# touch the user's.
export WINEPREFIX=$root/build/windows/wine-prefix
export WINEDEBUG=-all
# Wine hands the programs their arguments in the locale's character set:
# UTF-8, so that the Chinese file names below arrive as typed.
export LC_ALL=C.UTF-8
mkdir -p "$WINEPREFIX"
xvfb_pid=
wineserver=${wine%/*}/wineserver
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
  # The prefix is this script's own: its server and Wine's own services
  # (which would outlive the programs) end with it.
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# What is tested is what the zip holds, unpacked as a technician would.
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$root/$zip")
bin=$(echo "$work"/unpacked/*)
if x86_64-w64-mingw32-objdump -p "$bin/pennafor-cli.exe" | grep "DLL Name" |
    grep -viE "(kernel32|advapi32|msvcrt|setupapi|shell32|ws2_32|user32)\.dll"; then
  echo "windows-test: pennafor-cli.exe needs a DLL that Windows does not have" >&2
  exit 1
fi

# A virtual X server for the windows on Wine's own platform: Wine's desktop
# takes its display when the server starts, so it comes first.
for display in $(seq 90 99); do
  [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]] && continue
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$display ]] && break; sleep 0.1; done
  [[ -e /tmp/.X11-unix/X$display ]] && break
  kill "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
done
[[ -n $xvfb_pid ]] || { echo "windows-test: no virtual X server could start" >&2; exit 1; }
export DISPLAY=":$display"

# The server and Wine's own services are started here and kept until the
# end (-p), their messages (a list of every object still held when the
# server stops) in a log: started by the first test instead, the services
# would hold the test runner's output open, and it would wait for them.
"$wineserver" -k 2>/dev/null || true  # one left by an interrupted run
"$wineserver" -p 2>"$work/wineserver.log"
"$wine" wineboot >>"$work/wineserver.log" 2>&1
# QtTest and Qt's messages go to the debugger without a console unless told
# otherwise, and Wine hands no variable named QT_* to a Windows program:
# the prefix's own environment says it. Windows' dialog font is mapped to one
# with Chinese characters, as a Chinese Windows has.
"$wine" reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /d 1 /f >/dev/null 2>&1
for font in "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft YaHei" "SimSun" "Tahoma"; do
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v "$font" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
done

echo "== the suites under Wine"
(cd build/windows && ctest --output-on-failure --timeout 300)

cli() { (cd "$work" && "$wine" "$bin/pennafor-cli.exe" --language en --data-dir "$(winepath_of "$work")" "$@"); }
# Wine reaches the Linux file system as drive Z:.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

echo "== pennafor-cli.exe --help under Wine"
"$wine" "$bin/pennafor-cli.exe" --help | head -3

# A free UDP port: the virtual printer says when it cannot have the one tried.
echo "== network link"
for attempt in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 40000))
  "$sim" --no-pty --udp "127.0.0.1:$port" --state "$work/udp.json" >"$work/udp.log" 2>&1 &
  pids+=($!)
  sleep 0.5
  grep -q "UDP on" "$work/udp.log" && break
done
cli --udp "127.0.0.1:$port" test

echo "== serial link through a Wine COM port"
"$sim" --pty "$work/printer" --state "$work/serial.json" >"$work/serial.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -e $work/printer ]] && break; sleep 0.1; done
ln -sfn "$work/printer" "$WINEPREFIX/dosdevices/com9"
# Where Windows' serial driver lists its ports, and the main window reads them.
"$wine" reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\Serial9' /d COM9 /f >/dev/null 2>&1
cli --serial COM9 test
cli --serial COM9 set-codepage CP850
grep -q '"codePageName":"CP850"' "$work/serial.json" || { echo "the code page did not arrive" >&2; exit 1; }
# Names in Chinese, as a technician's folders often are: they must reach the
# file system whatever Windows' ANSI code page.
mkdir "$work/字库"
head -c 20000 /dev/urandom >"$work/字库/字库.bin"
cli --serial COM9 download-font --verify '字库\字库.bin' 100000
cli --serial COM9 read-memory 100000 20000 '字库\回读.bin'
cmp <(head -c 20000 "$work/字库/回读.bin") "$work/字库/字库.bin"
echo "windows-test: pennafor-cli.exe reached the virtual printer over UDP and over a COM port"

echo "== the windows on the windows platform (virtual X server)"
# In Chinese, as the window suites: the texts follow Windows' display
# language, which Wine takes from the locale.
(cd "$work" && LC_ALL=zh_CN.UTF-8 PST_PRINTER_UDP="127.0.0.1:$port" PST_PRINTER_COM=COM9 \
  PST_PRINTER_STATE="$(winepath_of "$work/serial.json")" \
  "$wine" "$root/build/windows/bin/app_windows_link_test.exe" -platform windows)

echo "== the installer under Wine"
# Where a user installs it: under Program Files, the folder it offers.
"$wine" "$root/$setup" /S
installed="$WINEPREFIX/drive_c/Program Files/Pennafor Setting Tool"
for file in pennafor-setting-tool.exe pennafor-cli.exe Chinese.lng English.lng Qt6Widgets.dll \
    platforms/qwindows.dll translations/qtbase_zh_CN.qm uninstall.exe; do
  [[ -f $installed/$file ]] || { echo "windows-test: the installer left out $file" >&2; exit 1; }
done
ls "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pennafor Setting Tool/"
"$wine" 'C:\Program Files\Pennafor Setting Tool\pennafor-cli.exe' --version
(cd "$work" && "$wine" 'C:\Program Files\Pennafor Setting Tool\pennafor-cli.exe' --language en \
  --data-dir "$(winepath_of "$work")" --udp "127.0.0.1:$port" test)
# The uninstaller runs from a copy of itself in the temporary folder and
# returns at once: the folder's going is what says it is done.
"$wine" 'C:\Program Files\Pennafor Setting Tool\uninstall.exe' /S
for _ in $(seq 300); do [[ -e $installed ]] || break; sleep 0.1; done
if [[ -e $installed ]]; then
  echo "windows-test: the uninstaller left these behind:" >&2
  find "$installed" >&2
  exit 1
fi
echo "windows-test: installed, ran and uninstalled without a trace in the program folder"
