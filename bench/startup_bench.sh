#!/usr/bin/env bash
# Start-up time of ravelwick.exe under Wine against a program that only opens
# a window, and against one that opens a window with as many controls as the
# main window, in one run on a private Xvfb. Ravelwick starts from a prepared
# program folder (the stand-in archive tools, languages, images) with the test
# host registered and its working tree already unpacked, as on every start
# after the first; it is timed until its main window shows.
#
#   bench/startup_bench.sh WINDOWS_BUILD_DIR [ROUNDS]
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=${2:-9}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${RW_BENCH_ON_XVFB:-}" ]; then
  RW_BENCH_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

work="$build/bench-startup"
export WINEPREFIX="$work/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 LANG=C.UTF-8 LC_ALL=C.UTF-8
trap 'wineserver -k 2>/dev/null || true' EXIT
winpath() { echo "Z:${1//\//\\}"; }

program="$work/Ravelwick"
host="$work/Maxthon3"
minimal="$work/Minimal"
rm -rf "$program" "$host" "$minimal"
mkdir -p "$program" "$host/Bin" "$minimal" "$work/pack/Resource"
cp "$build/src/win32app/ravelwick.exe" "$build/tools/pak/unpak.exe" "$build/tools/pak/makpak.exe" "$program/"
cp -r "$source_dir/data/Languages" "$source_dir/data/ResFiles" "$program/"
cp "$build/tools/testhost/3.0.20.100/Maxthon.exe" "$host/Bin/"
cp "$build/bench/min_window.exe" "$build/bench/controls_window.exe" "$minimal/"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the benchmark's Wine prefix (first run only)..."
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# One server for the whole run, so that no start pays for bringing it up.
# Its log stays empty until the last part below asks it to trace.
log="$work/server.log"
: >"$log"
wineserver -p 2>>"$log"  # appending, so that emptying it between starts works

cp -r "$source_dir/tests/fixtures/host-ui/." "$work/pack/Resource/"
wine "$program/makpak.exe" "$(winpath "$work/pack/Resource")" 2>/dev/null
mv "$work/pack/Resource.dat" "$host/Bin/Resource.dat"
rm -rf "$work/pack"
wine reg add 'HKCU\Software\Maxthon3' /v Folder /t REG_SZ /d "$(winpath "$host")\\" /f >/dev/null

# The first start backs up the host's archive and unpacks the working tree
# on the main window's first activation; later starts find both.
wine "$program/ravelwick.exe" 2>/dev/null &
first=$!
for _ in $(seq 120); do
  [ -f "$program/Resource/ui/main/images/nav_tool.png" ] && break
  sleep 0.5
done
sleep 1
wine "$build/tools/uidriver/uidriver.exe" close --class RavelwickMainWindow --title "Ravelwick (1.2.7)" \
  --timeout 30 >/dev/null 2>&1 || true
wait $first || true
if [ ! -f "$program/Resource/ui/main/index.css" ]; then
  echo "ravelwick.exe did not prepare its working tree; is its main window there yet?" >&2
  exit 1
fi

timer="$build/bench/startup_timer.exe"
args=(minimal RavelwickBenchMinimalWindow "Minimal window" "$(winpath "$minimal/min_window.exe")"
  controls RavelwickBenchControlsWindow "Controls window" "$(winpath "$minimal/controls_window.exe")"
  ravelwick RavelwickMainWindow "Ravelwick (1.2.7)" "$(winpath "$program/ravelwick.exe")")
wine "$timer" 1 "${args[@]}" >/dev/null  # files into the cache
echo "Start-up under Wine until the window shows ($rounds rounds, in turns)"
wine "$timer" "$rounds" "${args[@]}" | tr -d '\r'

# What the time is made of under Wine: each request to the Wine server is a
# round trip between two processes. One more start of each, traced.
echo
echo "Requests to the Wine server until the window shows (one start each)"
for i in 0 4 8; do
  name=${args[i]} class=${args[i + 1]} title=${args[i + 2]} exe=${args[i + 3]}
  : >"$log"
  # Wine turns all tracing off for a program whose error output is /dev/null.
  WINEDEBUG=+server wine "$timer" 1 "$name" "$class" "$title" "$exe" >/dev/null 2>"$work/client.log"
  printf '%-12s %6s\n' "$name" "$(awk -v cls="$class" -f "$source_dir/bench/server_requests.awk" "$log" "$log")"
done
