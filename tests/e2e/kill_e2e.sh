#!/usr/bin/env bash
# Kills the real ravelwick.exe (kill -9 of its Wine process) at many moments
# of Apply and of Restore, each with the test host open, and checks after
# every kill that nothing was lost: the host's Resource.dat is the one it had
# or a complete archive, no temporary file is left in its Bin folder, the
# backup is unchanged; then that the program comes up again with its whole
# working tree.
#
#   kill_e2e.sh RAVELWICK_EXE PAK_DIR TESTHOST_DIR UIDRIVER_EXE WORK_DIR [MOMENTS_PER_ROAD]
#
# PAK_DIR holds unpak.exe and makpak.exe. The moments are spread evenly over
# the length of each road, measured first by one run that is not killed.
set -u
ravelwick=$1
pak=$2
testhosts=$3
uidriver=$4
work=$5
moments=${6:-10}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
fixture="$source_dir/tests/fixtures/host-ui"

script_args=("$@")
source "$(dirname "$0")/common.sh"

menu_restore=103  # kMenuRestore
prog="$work/kill/Ravelwick"
host="$work/kill/Maxthon3"
backup="$prog/Resource3.0.20.100.dat"

make_program() {
  rm -rf "$prog"
  mkdir -p "$prog"
  cp "$ravelwick" "$pak/unpak.exe" "$pak/makpak.exe" "$prog/"
  cp -r "$source_dir/data/Languages" "$source_dir/data/ResFiles" "$prog/"
  printf '[General]\r\nLanguage=English\r\nInstallFolder=%s\\\r\n' "$(winpath "$host")" >"$prog/settings.ini"
}
make_host() {
  rm -rf "$host" "$work/pack"
  mkdir -p "$host/Bin" "$work/pack/Resource"
  cp "$testhosts/3.0.20.100/Maxthon.exe" "$host/Bin/"
  cp -r "$fixture/." "$work/pack/Resource/"
  wine "$pak/makpak.exe" "$(winpath "$work/pack/Resource")" 2>/dev/null
  mv "$work/pack/Resource.dat" "$host/Bin/Resource.dat"
  rm -rf "$work/pack"
}
start_ravelwick() {
  wine "$prog/ravelwick.exe" &
  rw_pid=$!
  ud wait-window "${main[@]}" --timeout 30 >/dev/null || fail "no main window"
}
# Tools the killed program started go on to their end by themselves; the
# next start must not meet them. Matched by the program folder in their
# command line, so only this test's processes count.
tools_running() {
  local folder
  folder=$(winpath "$prog")
  grep -qaF -e "$folder\unpak.exe" -e "$folder\makpak.exe" /proc/[0-9]*/cmdline 2>/dev/null
}
no_tools_running() { ! tools_running; }
ravelwick_ended() { ! kill -0 "$rw_pid" 2>/dev/null; }
tree_complete() {  # folder: every file of the demo tree is there
  (cd "$fixture" && find . -type f) | while read -r file; do [ -f "$1/$file" ] || exit 1; done
}

# Archives already shown to be complete, so each is unpacked only once.
verified=()
complete_with_tweaks() {  # archive
  local known
  for known in "${verified[@]}"; do cmp -s "$known" "$1" && return 0; done
  rm -rf "$work/inspect" "$work/inspect.dat"
  cp "$1" "$work/inspect.dat"
  wine "$pak/unpak.exe" "$(winpath "$work/inspect.dat")" 2>/dev/null || return 1
  tree_complete "$work/inspect" && grep -q '/\*ravelwick\*/' "$work/inspect/ui/main/index.css" || return 1
  known="$work/verified${#verified[@]}.dat"
  cp "$1" "$known"
  verified+=("$known")
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# One run of a road with the host open: starts it, answers "ConfirmClose"
# and kills the program DELAY ms later (never when DELAY is empty). Sets
# road_ms to the time until the program ended or was killed.
run_road() {  # apply|restore [delay_ms]
  local road=$1 delay=${2:-} start killed=0
  if [ -z "$(ud list "${host_window[@]}" --timeout 0)" ]; then
    wine "$host/Bin/Maxthon.exe" &
    ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "no host window"
  fi
  # Each road starts from a host archive that differs from what it installs,
  # so a kept and a replaced archive can be told apart.
  if [ "$road" == apply ]; then
    cp "$work/original.dat" "$host/Bin/Resource.dat"
  else
    cp "$tweaked" "$host/Bin/Resource.dat"
  fi
  cp "$host/Bin/Resource.dat" "$work/before.dat"
  if [ "$road" == apply ]; then
    ud click "${main[@]}" --id 1 >/dev/null
  else
    ud menu "${main[@]}" --id $menu_restore >/dev/null
  fi
  case "$(ud message "${msgbox[@]}" --timeout 20)" in
    "Maxthon 3 is running."*) ;;
    *) fail "$road ${delay:-whole}: no ConfirmClose question" ;;
  esac
  ud click "${msgbox[@]}" --control OK >/dev/null
  start=$(now_ms)
  if [ -n "$delay" ]; then
    sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
    kill -9 "$rw_pid" 2>/dev/null && killed=1
  else
    # Also notes when the host's archive was replaced.
    local stamp
    stamp=$(stat -c %i "$host/Bin/Resource.dat")
    install_ms=
    until ravelwick_ended || [ $(($(now_ms) - start)) -gt 60000 ]; do
      [ -z "$install_ms" ] && [ "$(stat -c %i "$host/Bin/Resource.dat" 2>/dev/null)" != "$stamp" ] &&
        install_ms=$(($(now_ms) - start))
      sleep 0.02
    done
    ravelwick_ended || fail "$road: ravelwick.exe did not end"
  fi
  road_ms=$(($(now_ms) - start))
  wait "$rw_pid" 2>/dev/null
  kills=$((kills + killed))

  wait_for 30 no_tools_running ||
    fail "$road ${delay:-whole}: a tool of the killed program is still running"
  local archive="$host/Bin/Resource.dat" outcome
  if cmp -s "$archive" "$work/before.dat"; then
    outcome="host archive kept"
  elif cmp -s "$archive" "$work/original.dat" || complete_with_tweaks "$archive"; then
    outcome="host archive replaced"
  else
    outcome="host archive BROKEN"
    fail "$road ${delay:-whole}: host archive is neither the one it had nor a complete one"
  fi
  # An Apply killed before the browser was seen to start keeps the archive
  # from before aside; whatever the moment, that copy is whole.
  # One kept archive for each installation, named after it.
  local kept offered=0
  kept=$(compgen -G "$prog/Resource.kept.*.dat" | head -n 1)
  if [ -n "$kept" ] && compgen -G "$prog/Resource.kept.[0-9a-f]*[0-9a-f]" >/dev/null; then
    cmp -s "$kept" "$work/before.dat" || fail "$road ${delay:-whole}: kept archive is not the one from before"
    offered=1
    outcome+=", archive before kept"
  fi
  [ -n "$delay" ] && echo "  $road at $delay ms: $([ $killed -eq 1 ] && echo killed || echo "had ended"), $outcome"
  cmp -s "$backup" "$work/original.dat" || fail "$road ${delay:-whole}: backup changed"

  # A copy cut off by the kill may leave its temporary file; the next start
  # clears it.
  start_ravelwick
  if [ $offered -eq 1 ]; then
    # The next start offers the kept archive back; taking it puts the host's
    # archive from before back byte for byte.
    case "$(ud message "${msgbox[@]}" --timeout 20)" in
      "The last time Ravelwick installed a new look"*) ud click "${msgbox[@]}" --control Yes >/dev/null ;;
      *) fail "$road ${delay:-whole}: the kept archive was not offered" ;;
    esac
    if [ -n "$(ud list "${host_window[@]}" --timeout 0)" ]; then
      case "$(ud message "${msgbox[@]}" --timeout 20)" in
        "Maxthon 3 is running."*) ud click "${msgbox[@]}" --control OK >/dev/null ;;
        *) fail "$road ${delay:-whole}: no ConfirmClose before putting the kept archive back" ;;
      esac
    fi
    wait_for 30 bash -c "[ ! -e '$kept' ]" || fail "$road ${delay:-whole}: kept archive not put back"
    cmp -s "$host/Bin/Resource.dat" "$work/before.dat" || fail "$road ${delay:-whole}: archive from before not back"
  fi
  wait_for 30 tree_complete "$prog/Resource" || fail "$road ${delay:-whole}: working tree incomplete after the restart"
  # Restore and OK wait until the unpacking is over.
  wait_for 30 ok_enabled || fail "$road ${delay:-whole}: OK not enabled after the restart"
  ls "$host/Bin" | grep -qE '(^~rw[0-9a-f]{8}\.tmp|\.partial)$' && fail "$road ${delay:-whole}: temporary file left in the host's Bin folder"
}

kill_road() {  # apply|restore
  local road=$1 length step delay i
  echo "== $road, whole road"
  run_road "$road"
  length=$road_ms
  [ -n "$install_ms" ] || fail "$road: host archive not replaced"
  [ "$road" == apply ] && tweaked="$work/tweaked.dat" && cp "$host/Bin/Resource.dat" "$tweaked"
  # Evenly over the road and a little past its measured end (the last ones
  # may come after the program ended), and densely around the replacement
  # of the host's archive.
  step=$((length * 11 / 10 / moments))
  echo "== $road: $length ms long, host archive replaced at ${install_ms:-0} ms;" \
    "killed at $moments moments $step ms apart and 6 around the replacement"
  delays=()
  for ((i = 1; i <= moments; i++)); do delays+=($((i * step))); done
  for i in -150 -100 -50 0 50 100; do delays+=($((${install_ms:-0} + i > 0 ? ${install_ms:-0} + i : 0))); done
  for delay in "${delays[@]}"; do run_road "$road" "$delay"; done
}

mkdir -p "$work"
make_host
make_program
cp "$host/Bin/Resource.dat" "$work/original.dat"
kills=0
start_ravelwick
# The kills must hit the program itself: `wine` execs into it.
grep -q 'ravelwick\.exe' "/proc/$rw_pid/cmdline" || fail "process $rw_pid is not ravelwick.exe"
wait_for 30 tree_complete "$prog/Resource" || fail "no working tree after the first activation"
wait_for 30 ok_enabled || fail "OK not enabled after the first activation"
kill_road apply
complete_with_tweaks "$tweaked" || fail "Apply did not install a complete archive with the tweaks"
kill_road restore
echo "== $kills kills at $((2 * moments + 12)) moments"
[ $kills -ge $moments ] || fail "fewer than half the moments came before the program ended"
ud close "${main[@]}" --timeout 0 >/dev/null
ud close "${host_window[@]}" --timeout 0 >/dev/null
wineserver -k >/dev/null 2>&1
if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all kill end-to-end checks passed"
