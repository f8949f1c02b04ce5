#!/usr/bin/env bash
# Builds Ravelwick for Windows and starts it under Wine on the bundled demo
# host: a demo program folder (ravelwick.exe, Languages, ResFiles, the
# stand-in archive tools) and a demo host installation (the test host with a
# Resource.dat packed from the made-up interface tree), registered in the demo
# Wine prefix. With no display it runs on Xvfb and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

cmake --preset windows >/dev/null
cmake --build --preset windows -j2

build="$root/build/windows"
demo="$root/build/demo"
program="$demo/Ravelwick"
host="$demo/Maxthon3"
export WINEPREFIX="$demo/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 LANG=C.UTF-8 LC_ALL=C.UTF-8

rm -rf "$program" "$host"
mkdir -p "$program" "$host/Bin"
cp "$build/src/win32app/ravelwick.exe" "$build/tools/pak/unpak.exe" "$build/tools/pak/makpak.exe" "$program/"
cp -r data/Languages data/ResFiles "$program/"
cp "$build/tools/testhost/3.0.20.100/Maxthon.exe" "$host/Bin/"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the demo Wine prefix (first run only)..."
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi

winpath() { echo "Z:${1//\//\\}"; }

# The host's archive, packed from the made-up interface tree by our packer.
pack="$demo/pack"
rm -rf "$pack" && mkdir -p "$pack/Resource"
cp -r tests/fixtures/host-ui/. "$pack/Resource/"
wine "$program/makpak.exe" "$(winpath "$pack/Resource")"
mv "$pack/Resource.dat" "$host/Bin/Resource.dat"
rm -rf "$pack"

wine reg add 'HKCU\Software\Maxthon3' /v Folder /t REG_SZ /d "$(winpath "$host")\\" /f >/dev/null

echo "Demo program folder: $program"
echo "Demo host folder:    $host"
if [ -n "${DISPLAY:-}" ]; then
  wine "$program/ravelwick.exe"
else
  shot="$root/docs/screenshots/demo.png"
  echo "No display: running on Xvfb; a screenshot goes to $shot"
  mkdir -p "$(dirname "$shot")"
  # A Wine desktop gives the window its frame on a bare X server.
  xvfb-run -a -s "-screen 0 1024x760x24" bash -c '
    cd "$1"
    wine explorer /desktop=Ravelwick,1000x720 ravelwick.exe &
    for _ in $(seq 60); do
      [ -d "$1/Resource/ui/main" ] && break
      sleep 1
    done
    sleep 4
    import -window root "$2"
    wineserver -k' _ "$program" "$shot"
  echo "Screenshot: $shot"
fi
wineserver -k 2>/dev/null || true
