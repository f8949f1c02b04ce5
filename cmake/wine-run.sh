#!/usr/bin/env bash
# Runs a Windows program under Wine in the build folder's private prefix
# (created on first use, Mono and Gecko prompts off), on a private Xvfb when
# there is no display, and ends the prefix's wineserver afterwards so that
# nothing lingers.
set -u
exe="$1"
shift

dir=$(cd "$(dirname "$exe")" && pwd)
build="$dir"
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
[ -f "$build/CMakeCache.txt" ] || build="$dir"

export WINEPREFIX="${RW_WINEPREFIX:-$build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# An English system locale (ANSI code page 1252) with UTF-8 Unix file names,
# so paths in any script work.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
) 9>"$WINEPREFIX.lock"

if [ -n "${RW_WINE_NO_KILL:-}" ]; then
  cleanup() { :; }
else
  cleanup() { wineserver -k >/dev/null 2>&1; }
fi

if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" wine "$exe" "$@"
  rc=$?
else
  wine "$exe" "$@"
  rc=$?
fi
cleanup
exit $rc
