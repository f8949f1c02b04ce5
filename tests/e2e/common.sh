# Shared by the end-to-end scripts: the build folder's Wine prefix (created on
# first use), one private Xvfb for every program of a test, and small checks.
# Sourced with $ravelwick and $uidriver set; re-runs the caller under Xvfb
# when there is no display.

build=$(cd "$(dirname "$ravelwick")" && pwd)
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
export WINEPREFIX="${RW_WINEPREFIX:-$build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
export LANG=C.UTF-8 LC_ALL=C.UTF-8

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "${script_args[@]}"
fi

(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
) 9>"$WINEPREFIX.lock"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
expect_eq() {  # what, actual, expected
  [ "$2" == "$3" ] || fail "$1: got '$2', expected '$3'"
}
winpath() { echo "Z:${1//\//\\}"; }
ud() { wine "$uidriver" "$@" 2>/dev/null | tr -d '\r'; }
setting() {  # file key: the value, UTF-8 with or without byte-order mark
  sed -e '1s/^\xEF\xBB\xBF//' "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^$2=//p" | head -1
}
wait_for() {  # seconds, test command...: true once the command succeeds
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

# The windows the scripts look for.
main=(--window-class RavelwickMainWindow --window-title "Ravelwick (1.2.7)")
msgbox=(--window-class "#32770" --window-title Ravelwick)
host_window=(--window-class Maxthon3Cls_MainFrm)
# OK is enabled again once an unpacking is over; so are Restore and Set Folder.
ok_enabled() { ud window-info "${main[@]}" --id 1 | grep -q 'enabled=1'; }

# The test host's log and how often it was started, by its folder.
host_log() { tr -d '\r' 2>/dev/null <"$1/Bin/testhost.log"; }
host_starts() { host_log "$1" | grep -c '^start '; }
# Unpacks an archive with the stand-in tool ($pak) into $work/inspect.
inspect() {
  rm -rf "$work/inspect" "$work/inspect.dat"
  cp "$1" "$work/inspect.dat"
  wine "$pak/unpak.exe" "$(winpath "$work/inspect.dat")" 2>/dev/null
}
