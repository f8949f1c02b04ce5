#!/usr/bin/env bash
# End-to-end checks of unpacking, installing, restoring and Help under Wine:
# the real ravelwick.exe with the stand-in archive tools against the test host
# (Maxthon.exe), driven by uidriver.exe.
#
#   pipeline_e2e.sh RAVELWICK_EXE PAK_DIR TESTHOST_DIR UIDRIVER_EXE WORK_DIR GROUP
#
# PAK_DIR holds unpak.exe and makpak.exe. GROUP is one of: unpack, apply,
# cancel, stubborn, background, restore, help, repoint, second, link,
# longpath, noversion, emptyarchive, partial, badpacker, spelling, readonly,
# rollback, slowstart, preview, reapply, foreignkept, bytes.
set -u
ravelwick=$1
pak=$2
testhosts=$3
uidriver=$4
work=$5
group=$6
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

script_args=("$@")
source "$(dirname "$0")/common.sh"

dialog=(--window-class RavelwickSetFolder --window-title Ravelwick)
preview_window=(--window-class RavelwickPreview --window-title "Preview Changes")
progress_window=(--window-class RavelwickProgress --window-title "Ravelwick (1.2.7)")
progress_says() {  # prefix: the small window of a wait is up and its text starts so
  [[ "$(ud get-text "${progress_window[@]}" --timeout 0 --control-class Static)" == "$1"* ]]
}
# Menu item ids of the main window (kMenuSetFolder, kMenuRestore, kMenuHelp,
# kMenuPreview).
menu_set_folder=101
menu_restore=103
menu_help=104
menu_about=105
menu_preview=107

# Program folder with the real tools, the shipped languages and images, and
# settings pointing at the host.
make_program() {  # folder host
  rm -rf "$1"
  mkdir -p "$1"
  cp "$ravelwick" "$pak/unpak.exe" "$pak/makpak.exe" "$1/"
  cp -r "$source_dir/data/Languages" "$source_dir/data/ResFiles" "$1/"
  printf '[General]\r\nLanguage=English\r\nInstallFolder=%s\\\r\n' "$(winpath "$2")" >"$1/settings.ini"
}
# Host folder with the test host and an archive packed from the made-up
# interface tree, changed first by the command in $before_pack if one is set.
make_host() {  # folder version
  rm -rf "$1" "$work/pack"
  mkdir -p "$1/Bin" "$work/pack/Resource"
  cp "$testhosts/$2/Maxthon.exe" "$1/Bin/"
  cp -r "$source_dir/tests/fixtures/host-ui/." "$work/pack/Resource/"
  [ -z "${before_pack:-}" ] || "$before_pack" "$work/pack/Resource"
  wine "$pak/makpak.exe" "$(winpath "$work/pack/Resource")" 2>/dev/null
  mv "$work/pack/Resource.dat" "$1/Bin/Resource.dat"
  rm -rf "$work/pack"
}
start_host() {  # host [flags...]
  local host=$1
  shift
  wine "$host/Bin/Maxthon.exe" "$@" &
}
start_ravelwick() {
  wine "$1/ravelwick.exe" &
  rw_pid=$!
  ud wait-window "${main[@]}" --timeout 30 >/dev/null || fail "no main window"
}
# Waits for ravelwick.exe to end by itself.
expect_ravelwick_ends() {
  wait_for "${1:-60}" bash -c "! kill -0 $rw_pid 2>/dev/null" || {
    fail "ravelwick.exe did not end"
    ud close "${main[@]}" --timeout 0 >/dev/null
  }
  wait "$rw_pid" 2>/dev/null
}
close_everything() {
  ud close "${main[@]}" --timeout 0 >/dev/null
  ud close "${host_window[@]}" --timeout 0 >/dev/null
  wineserver -k >/dev/null 2>&1
}

prepare() {  # name version [folder]: program and host, first start, tree unpacked
  prog="${3:-$work/$1}/Ravelwick"
  host="${3:-$work/$1}/Maxthon3"
  make_host "$host" "$2"
  make_program "$prog" "$host"
  cp "$host/Bin/Resource.dat" "$work/original.dat"
  start_ravelwick "$prog"
  wait_for 30 test -f "$prog/Resource/ui/main/index.css" || fail "no working tree after the first activation"
  wait_for 10 test -f "$prog/Resource/ui/main/images/nav_tool.png" || fail "no images after the first activation"
  # OK, Restore and Set Folder wait until the unpacking is over.
  wait_for 30 ok_enabled || fail "OK not enabled after the first activation"
}

unpack_checks() {
  echo "== first start: backup, packed archive and tree from the host's archive"
  prepare unpack 3.0.20.100
  cmp -s "$work/original.dat" "$prog/Resource3.0.20.100.dat" || fail "backup differs from the host archive"
  cmp -s "$work/original.dat" "$prog/Resource.dat" || fail "packed archive differs from the host archive"
  diff -rq "$source_dir/tests/fixtures/host-ui/ui/main/index.css" "$prog/Resource/ui/main/index.css" >/dev/null ||
    fail "unpacked index.css differs"
  # The images follow once the program has seen the unpacker end.
  wait_for 10 cmp -s "$source_dir/data/ResFiles/nav_tool.png" "$prog/Resource/ui/main/images/nav_tool.png" ||
    fail "replacement image not copied after unpacking"
  expect_eq "OK enabled after unpacking" "$(ud window-info "${main[@]}" --id 1 | grep -o 'enabled=[01]')" "enabled=1"
  close_everything

  echo "== tree deleted by hand: the packed archive is unpacked, backup and host unread"
  rm -rf "$prog/Resource"
  echo "not an archive" >"$prog/Resource3.0.20.100.dat"
  start_ravelwick "$prog"
  wait_for 30 test -f "$prog/Resource/ui/main/index.css" || fail "packed archive not unpacked"
  close_everything
}

apply_checks() {
  echo "== Apply with the host open: ConfirmClose, close, pack, install, restart"
  prepare apply 3.0.20.100
  start_host "$host"
  ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "no host window"
  ud check "${main[@]}" --control "Hide Status Bar" --state 1 >/dev/null
  ud click "${main[@]}" --id 1 >/dev/null
  case "$(ud message "${msgbox[@]}" --timeout 20)" in
    "Maxthon 3 is running."*) ;;
    *) fail "no ConfirmClose question" ;;
  esac
  ud click "${msgbox[@]}" --control OK >/dev/null
  expect_ravelwick_ends 60
  host_log "$host" | grep -q '^close$' || fail "host not sent the close command"
  expect_eq "host started again" "$(host_starts "$host")" 2
  cmp -s "$work/original.dat" "$host/Bin/Resource.dat" && fail "host archive unchanged"
  cmp -s "$prog/Resource.dat" "$host/Bin/Resource.dat" || fail "installed archive is not the packed one"
  inspect "$host/Bin/Resource.dat"
  grep -q '/\*ravelwick\*/' "$work/inspect/ui/main/index.css" || fail "no tweak block in the installed archive"
  ls "$host/Bin" | grep -q partial && fail "temporary file left in the host's Bin folder"
  close_everything
}

cancel_checks() {
  echo "== Cancel at ConfirmClose: nothing is closed or installed, the window stays"
  prepare cancel 3.0.20.100
  start_host "$host"
  ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "no host window"
  ud click "${main[@]}" --id 1 >/dev/null
  ud message "${msgbox[@]}" --timeout 20 >/dev/null || fail "no ConfirmClose question"
  ud click "${msgbox[@]}" --control Cancel >/dev/null
  sleep 3
  ud wait-window "${main[@]}" --timeout 0 >/dev/null || fail "main window closed"
  ud wait-window "${host_window[@]}" --timeout 0 >/dev/null || fail "host window closed"
  cmp -s "$work/original.dat" "$host/Bin/Resource.dat" || fail "host archive changed"
  expect_eq "host not restarted" "$(host_starts "$host")" 1
  close_everything
}

stubborn_checks() {
  echo "== host that ignores the close command is terminated; Help and Restore meanwhile do nothing"
  prepare stubborn 3.0.20.100
  start_host "$host" --ignore-close
  ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "no host window"
  ud click "${main[@]}" --id 1 >/dev/null
  ud message "${msgbox[@]}" --timeout 20 >/dev/null && ud menu "${main[@]}" --id $menu_help >/dev/null
  ud click "${msgbox[@]}" --control OK >/dev/null && ud menu "${main[@]}" --id $menu_restore >/dev/null
  expect_ravelwick_ends 60
  host_log "$host" | grep -q '^close ignored$' || fail "close command not sent"
  expect_eq "exits logged" "$(host_log "$host" | grep -c '^exit$')" 0  # terminated, not closed
  expect_eq "host started again" "$(host_starts "$host")" 2
  cmp -s "$prog/Resource.dat" "$host/Bin/Resource.dat" || fail "archive not installed"
  close_everything
}

background_checks() {
  echo "== host without a window: terminated without a question; another installation left alone"
  prepare background 3.0.20.100
  other="$work/background/Other"
  make_host "$other" 3.0.20.100
  start_host "$host" --background
  start_host "$other" --background
  sleep 2
  ud click "${main[@]}" --id 1 >/dev/null
  expect_ravelwick_ends 60
  [ -z "$(ud list "${msgbox[@]}" --timeout 0)" ] || fail "a question was asked"
  expect_eq "host started again" "$(host_starts "$host")" 2
  expect_eq "other installation untouched" "$(host_starts "$other")" 1
  host_log "$other" | grep -q '^exit$' && fail "other installation ended"
  close_everything
}

restore_checks() {
  echo "== Restore: the backup goes back, derived files go, FileVersion emptied"
  prepare restore 3.0.20.100
  echo "tweaked" >"$host/Bin/Resource.dat"
  ud menu "${main[@]}" --id $menu_restore >/dev/null
  expect_ravelwick_ends 60
  cmp -s "$work/original.dat" "$host/Bin/Resource.dat" || fail "host archive is not the backup"
  cmp -s "$work/original.dat" "$prog/Resource3.0.20.100.dat" || fail "backup changed"
  [ ! -e "$prog/Resource" ] || fail "working tree left"
  [ ! -e "$prog/Resource.dat" ] || fail "packed archive left"
  expect_eq "FileVersion" "$(setting "$prog/settings.ini" FileVersion)" ""
  expect_eq "host started" "$(host_starts "$host")" 1
  close_everything

  echo "== Restore without a backup: NoBackup with the version, nothing else"
  rm -f "$prog/Resource3.0.20.100.dat"
  start_ravelwick "$prog"
  wait_for 30 test -f "$prog/Resource/ui/main/index.css"
  wait_for 30 ok_enabled
  rm -f "$prog/Resource3.0.20.100.dat"
  ud menu "${main[@]}" --id $menu_restore >/dev/null
  case "$(ud message "${msgbox[@]}" --timeout 20)" in
    *"Maxthon 3.0.20.100,"*) ;;
    *) fail "NoBackup without the version" ;;
  esac
  ud click "${msgbox[@]}" --control OK >/dev/null
  ud wait-window "${main[@]}" --timeout 0 >/dev/null || fail "main window closed"
  close_everything
}

help_checks() {
  echo "== Help opens the address in the host as one argument"
  prepare help 3.0.20.100
  ud menu "${main[@]}" --id $menu_help >/dev/null
  host_started() { [ "$(host_starts "$host")" -ge 1 ]; }
  wait_for 20 host_started || fail "host not started"
  url=$(setting "$prog/Languages/English.ini" HelpURL)
  host_log "$host" | grep -qF "\"$url\"" || fail "address not passed quoted"
  ud wait-window "${main[@]}" --timeout 0 >/dev/null || fail "main window closed"
  close_everything
}

repoint_checks() {
  echo "== Re-point to a host of another version: its backup is made and the tree rebuilt, the window stays"
  prepare repoint 3.0.20.100
  other="$work/repoint/Maxthon3 Other"
  make_host "$other" 3.0.15.300
  cp "$other/Bin/Resource.dat" "$work/other.dat"
  echo "stale" >"$prog/Resource/ui/main/stale.txt"
  ud menu "${main[@]}" --id $menu_set_folder >/dev/null
  ud wait-window "${dialog[@]}" --timeout 20 >/dev/null || fail "no host folder dialog"
  ud set-text "${dialog[@]}" --control-class Edit --text "$(winpath "$other")" >/dev/null
  ud click "${dialog[@]}" --control OK >/dev/null
  ud wait-gone "${dialog[@]}" --timeout 20 >/dev/null || fail "dialog stayed open"
  wait_for 30 test -f "$prog/Resource3.0.15.300.dat" || fail "no backup for the new version"
  cmp -s "$work/other.dat" "$prog/Resource3.0.15.300.dat" || fail "new backup differs from the new host's archive"
  cmp -s "$work/original.dat" "$prog/Resource3.0.20.100.dat" || fail "old backup changed"
  # The old tree has an index.css too: first it must go, then come back.
  wait_for 30 test ! -e "$prog/Resource/ui/main/stale.txt" || fail "old tree kept"
  wait_for 30 test -f "$prog/Resource/ui/main/index.css" || fail "tree not rebuilt"
  new_version() { [ "$(setting "$prog/settings.ini" FileVersion)" == 3.0.15.300 ]; }
  wait_for 10 new_version
  expect_eq "FileVersion" "$(setting "$prog/settings.ini" FileVersion)" "3.0.15.300"
  expect_eq "InstallFolder" "$(setting "$prog/settings.ini" InstallFolder)" "$(winpath "$other")\\"
  ud wait-window "${main[@]}" --timeout 0 >/dev/null || fail "main window closed"
  # The special host version disables the host-dependent options.
  expect_eq "host-dependent option greyed" \
    "$(ud window-info "${main[@]}" --control "Hide New Tab Button" | grep -o 'enabled=[01]')" "enabled=0"
  close_everything
}

second_checks() {
  echo "== a second real start raises the first main window and ends silently"
  prepare second 3.0.20.100
  first_pid=$rw_pid
  ud show "${main[@]}" --state minimize >/dev/null
  case "$(ud window-info "${main[@]}")" in
    *minimized=1*) ;;
    *) fail "the first window could not be minimised" ;;
  esac
  wine "$prog/ravelwick.exe" &
  second_pid=$!
  wait_for 30 bash -c "! kill -0 $second_pid 2>/dev/null" || fail "second instance did not end"
  case "$(ud window-info "${main[@]}")" in
    *minimized=0*) ;;
    *) fail "the first window is still minimised" ;;
  esac
  expect_eq "main windows" "$(ud list "${main[@]}" --timeout 0 | grep -c .)" 1
  [ -z "$(ud list "${msgbox[@]}" --timeout 0)" ] || fail "a message was shown"
  kill -0 "$first_pid" 2>/dev/null || fail "the first instance ended"
  close_everything
}

# --- Faults that must neither lose data nor install a broken interface ---

faulty=$pak/faulty
# Waits for a message box whose text starts with $2 and dismisses it.
expect_message() {  # what prefix [timeout]
  local text
  text=$(ud message "${msgbox[@]}" --timeout "${3:-20}")
  case "$text" in
    "$2"*) ud click "${msgbox[@]}" --control OK >/dev/null ;;
    *) fail "$1: got '${text:0:80}'" ;;
  esac
}
main_stays() { ud wait-window "${main[@]}" --timeout 0 >/dev/null || fail "main window closed ($1)"; }
# The host's archive and the backup, byte for byte as they were.
host_unchanged() {  # what
  cmp -s "$work/before.dat" "$host/Bin/Resource.dat" || fail "$1: host archive changed"
  [ ! -e "$prog/Resource3.0.20.100.dat" ] || cmp -s "$work/original.dat" "$prog/Resource3.0.20.100.dat" ||
    fail "$1: backup changed"
  ls "$host/Bin" | grep -q partial && fail "$1: temporary file left in the host's Bin folder"
}
click_ok() { ud click "${main[@]}" --id 1 >/dev/null; }

noversion_checks() {
  echo "== host without version information: OK and Restore explain, nothing is written"
  prepare noversion 3.0.20.100
  close_everything
  cp "$testhosts/none/Maxthon.exe" "$host/Bin/Maxthon.exe"
  cp "$host/Bin/Resource.dat" "$work/before.dat"
  cp "$prog/settings.ini" "$work/settings.before"
  echo "stale" >"$prog/Resource/ui/main/stale.txt"
  start_ravelwick "$prog"
  click_ok
  expect_message "OK" "Ravelwick cannot read the version of"
  ud menu "${main[@]}" --id $menu_restore >/dev/null
  expect_message "Restore" "Ravelwick cannot read the version of"
  main_stays "no version"
  host_unchanged "no version"
  cmp -s "$work/settings.before" "$prog/settings.ini" || fail "settings changed"
  expect_eq "host started" "$(host_starts "$host")" 0
  close_everything
}

emptyarchive_checks() {
  echo "== empty host archive: never backed up, the start and OK say why"
  prog="$work/empty/Ravelwick"
  host="$work/empty/Maxthon3"
  make_host "$host" 3.0.20.100
  make_program "$prog" "$host"
  : >"$host/Bin/Resource.dat"
  cp "$host/Bin/Resource.dat" "$work/before.dat"
  wine "$prog/ravelwick.exe" &
  expect_message "start" "The resource file"
  ud wait-window "${main[@]}" --timeout 30 >/dev/null || fail "no main window"
  click_ok
  expect_message "OK" "The resource file"
  main_stays "empty archive"
  [ ! -e "$prog/Resource3.0.20.100.dat" ] || fail "backup of an empty archive"
  expect_eq "FileVersion" "$(setting "$prog/settings.ini" FileVersion)" ""
  host_unchanged "empty archive"
  close_everything

  echo "== host archive the unpacking tool cannot read: said so, without \"try again\""
  prog="$work/unreadable/Ravelwick"
  host="$work/unreadable/Maxthon3"
  make_host "$host" 3.0.20.100
  make_program "$prog" "$host"
  echo "an archive of another format" | tee "$host/Bin/Resource.dat" "$work/before.dat" >"$work/original.dat"
  start_ravelwick "$prog"
  expect_message "first activation" "The unpacking tool unpak.exe ran to its end but could not read" 40
  main_stays "unreadable archive"
  [ ! -e "$prog/Resource" ] || fail "tree left from an unreadable archive"
  host_unchanged "unreadable archive"
  close_everything

  echo "== empty backup: Restore refuses it and keeps the derived files"
  prepare emptybackup 3.0.20.100
  : >"$prog/Resource3.0.20.100.dat"
  echo "tweaked" >"$host/Bin/Resource.dat"
  cp "$host/Bin/Resource.dat" "$work/before.dat"
  ud menu "${main[@]}" --id $menu_restore >/dev/null
  expect_message "Restore" "The backup"
  main_stays "empty backup"
  cmp -s "$work/before.dat" "$host/Bin/Resource.dat" || fail "host archive changed"
  [ -f "$prog/Resource/ui/main/index.css" ] || fail "working tree removed"
  expect_eq "FileVersion" "$(setting "$prog/settings.ini" FileVersion)" "3.0.20.100"
  close_everything
}

partial_checks() {
  for fault in unpak-hang unpak-dies; do
    echo "== unpacker that $fault half-way: its tree is thrown away and the user told; OK unpacks again"
    prog="$work/$fault/Ravelwick"
    host="$work/$fault/Maxthon3"
    make_host "$host" 3.0.20.100
    make_program "$prog" "$host"
    cp "$host/Bin/Resource.dat" "$work/original.dat"
    cp "$faulty/$fault/unpak.exe" "$prog/unpak.exe"
    start_ravelwick "$prog"
    if [ "$fault" = unpak-hang ]; then
      # Neither the host folder nor the tree may change under a running unpacker.
      ud menu "${main[@]}" --id $menu_set_folder >/dev/null
      ud menu "${main[@]}" --id $menu_restore >/dev/null
      [ -z "$(ud list "${dialog[@]}" --timeout 2)" ] || fail "host folder dialog opened during unpacking"
    fi
    expect_message "first activation" "The resource file" 40
    [ ! -e "$prog/Resource" ] || fail "partial tree kept"
    cp "$pak/unpak.exe" "$prog/unpak.exe"
    ud check "${main[@]}" --control "Hide Status Bar" --state 1 >/dev/null
    click_ok
    expect_ravelwick_ends 90
    inspect "$host/Bin/Resource.dat"
    missing=$(comm -23 <(cd "$source_dir/tests/fixtures/host-ui" && find . -type f | sort) \
      <(cd "$work/inspect" && find . -type f | sort))
    [ -z "$missing" ] || fail "installed archive lacks: ${missing//$'\n'/ }"
    grep -q '/\*ravelwick\*/' "$work/inspect/ui/main/index.css" || fail "no tweak block installed"
    close_everything
  done

  echo "== files deleted from the tree, or a tree left by a killed run: unpacked again before use"
  prepare thinned 3.0.20.100
  close_everything
  rm "$prog/Resource/ui/main/navbar.htm"
  echo "stale" >"$prog/Resource/ui/main/stale.txt"
  start_ravelwick "$prog"
  wait_for 30 test -f "$prog/Resource/ui/main/navbar.htm" || fail "thinned tree not rebuilt"
  [ ! -e "$prog/Resource/ui/main/stale.txt" ] || fail "thinned tree kept"
  close_everything
  rm "$prog/Resource.files"
  echo "stale" >"$prog/Resource/ui/main/stale.txt"
  start_ravelwick "$prog"
  wait_for 30 test -f "$prog/Resource.files" || fail "unrecorded tree not rebuilt"
  [ ! -e "$prog/Resource/ui/main/stale.txt" ] || fail "unrecorded tree kept"
  close_everything
}

badpacker_checks() {
  for fault in makpak-garbage makpak-truncated makpak-hang; do
    echo "== packer $fault: nothing installed, the browser keeps running, the user is told"
    prepare "$fault" 3.0.20.100
    cp "$host/Bin/Resource.dat" "$work/before.dat"
    cp "$faulty/$fault/makpak.exe" "$prog/makpak.exe"
    start_host "$host"
    ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "no host window"
    click_ok
    expect_message "ConfirmClose" "Maxthon 3 is running."
    if [ "$fault" = makpak-hang ]; then
      # The wait is shown, and the window under it goes on answering.
      wait_for 10 progress_says "Packing the new interface" || fail "no progress window while the packer hangs"
      expect_eq "main window answers while packing" "$(ud get-text "${main[@]}" --id 1 --timeout 2)" OK
    fi
    expect_message "$fault" "The pack" 40
    ud wait-gone "${progress_window[@]}" --timeout 5 >/dev/null || fail "$fault: progress window left after the road"
    main_stays "$fault"
    host_unchanged "$fault"
    ud wait-window "${host_window[@]}" --timeout 0 >/dev/null || fail "$fault: host closed"
    expect_eq "$fault: host starts" "$(host_starts "$host")" 1
    close_everything
  done
}

spelling_checks() {
  echo "== host folder spelled with slashes and a trailing dot: the running browser is this installation's"
  prepare spelling 3.0.20.100
  close_everything
  odd=$(winpath "$host" | tr '\\' '/')
  printf '[General]\r\nLanguage=English\r\nInstallFolder=%s/.\r\n' "${odd//\/\//\/}" >"$prog/settings.ini"
  start_host "$host"
  ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "no host window"
  start_ravelwick "$prog"
  expect_eq "InstallFolder stored canonical" "$(setting "$prog/settings.ini" InstallFolder)" "$(winpath "$host")\\"
  # No version was recorded: the start rebuilds the tree first, as a user
  # sees by the greyed OK.
  wait_for 30 ok_enabled || fail "OK not enabled after the start"
  click_ok
  expect_message "ConfirmClose" "Maxthon 3 is running."
  expect_ravelwick_ends 60
  host_log "$host" | grep -q '^close$' || fail "running host not closed"
  expect_eq "host started again" "$(host_starts "$host")" 2
  cmp -s "$prog/Resource.dat" "$host/Bin/Resource.dat" || fail "archive not installed"
  close_everything
}

readonly_checks() {
  echo "== host archive that cannot be replaced: the user is told, the window stays, the browser runs again"
  prepare readonly 3.0.20.100
  cp "$host/Bin/Resource.dat" "$work/before.dat"
  wine attrib +r "$(winpath "$host/Bin/Resource.dat")" >/dev/null 2>&1
  click_ok
  expect_message "Apply" "Ravelwick could not write" 60
  main_stays "read-only archive"
  host_unchanged "read-only archive"
  expect_eq "host started again" "$(host_starts "$host")" 1
  ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "host not running again"
  ud menu "${main[@]}" --id $menu_restore >/dev/null
  expect_message "ConfirmClose" "Maxthon 3 is running."
  expect_message "Restore" "Ravelwick could not write" 60
  main_stays "read-only restore"
  [ -f "$prog/Resource/ui/main/index.css" ] || fail "working tree removed after a failed restore"
  [ -f "$prog/Resource.dat" ] || fail "packed archive removed after a failed restore"
  expect_eq "FileVersion" "$(setting "$prog/settings.ini" FileVersion)" "3.0.20.100"
  wine attrib -r "$(winpath "$host/Bin/Resource.dat")" >/dev/null 2>&1
  close_everything
}

link_checks() {
  echo "== Restore with the working tree a link to another folder: only the link may go, the folder stays whole"
  prepare link 3.0.20.100
  close_everything
  # Wine makes no link of its own (CreateSymbolicLinkW creates nothing); a
  # Unix link shows as a folder with the reparse-point attribute.
  other="$work/link/Other folder"
  rm -rf "$other" "$work/link/other.orig"
  mkdir -p "$other/ui/main"
  printf 'keep me\r\n' >"$other/notes.txt"
  cp "$source_dir/data/ResFiles/nav_tool.png" "$other/ui/main/"
  cp -a "$other" "$work/link/other.orig"
  rm -rf "$prog/Resource"
  ln -s "$other" "$prog/Resource"
  echo "tweaked" >"$host/Bin/Resource.dat"
  start_ravelwick "$prog"
  # A linked tree has no record, so the first activation tries to rebuild it
  # and says how that went; no other command runs until that word is read.
  local said
  said=$(ud message "${msgbox[@]}" --timeout 15)
  [ -z "$said" ] || ud click "${msgbox[@]}" --control OK >/dev/null
  echo "note: the first activation said: ${said:0:70}"
  ud menu "${main[@]}" --id $menu_restore >/dev/null
  wait_for 60 cmp -s "$work/original.dat" "$host/Bin/Resource.dat" || fail "host archive is not the backup"
  sleep 2
  diff -r "$work/link/other.orig" "$other" >/dev/null || fail "the linked folder changed"
  if [ -L "$prog/Resource" ]; then
    # Wine cannot remove a Unix link through Windows calls without
    # touching its target; there the link stays.
    [ "$(readlink "$prog/Resource")" == "$other" ] || fail "the link was changed"
    echo "note: link left in place (Wine)"
  else
    [ ! -e "$prog/Resource" ] || fail "a folder took the link's place"
  fi
  close_everything
}

longpath_checks() {
  echo "== program and host folders past 260 characters: first start, Apply, Restore"
  local deep="$work/longpath"
  while [ ${#deep} -lt 280 ]; do deep="$deep/A folder of a rather deep tree"; done
  rm -rf "$work/longpath"
  prepare longpath 3.0.20.100 "$deep"
  expect_eq "program folder length over 260" "$(($(winpath "$prog" | wc -c) > 261))" 1
  cmp -s "$work/original.dat" "$prog/Resource3.0.20.100.dat" || fail "backup differs from the host archive"
  ud check "${main[@]}" --control "Hide Status Bar" --state 1 >/dev/null
  ud click "${main[@]}" --id 1 >/dev/null
  expect_ravelwick_ends 60
  cmp -s "$prog/Resource.dat" "$host/Bin/Resource.dat" || fail "installed archive is not the packed one"
  inspect "$host/Bin/Resource.dat"
  grep -q '/\*ravelwick\*/' "$work/inspect/ui/main/index.css" || fail "no tweak block in the installed archive"
  host_started() { [ "$(host_starts "$host")" -ge 1 ]; }
  wait_for 20 host_started || fail "host not started again after Apply"
  close_everything

  start_ravelwick "$prog"
  # A linked tree has no record, so the first activation tries to rebuild it
  # and says how that went; no other command runs until that word is read.
  local said
  said=$(ud message "${msgbox[@]}" --timeout 15)
  [ -z "$said" ] || ud click "${msgbox[@]}" --control OK >/dev/null
  echo "note: the first activation said: ${said:0:70}"
  ud menu "${main[@]}" --id $menu_restore >/dev/null
  wait_for 60 cmp -s "$work/original.dat" "$host/Bin/Resource.dat" || fail "host archive is not the backup"
  close_everything
}

preview_checks() {
  echo "== Preview: what OK would write, shown over the disabled window; Esc closes it; nothing changes"
  prepare preview 3.0.20.100
  ud check "${main[@]}" --control "Hide Home Button" --state 1 >/dev/null || fail "option not ticked"
  rm -rf "$work/preview.before"
  mkdir -p "$work/preview.before"
  cp "$host/Bin/Resource.dat" "$work/preview.before/host.dat"
  cp -a "$prog/Resource" "$prog/Resource.dat" "$prog/Resource.files" "$prog/Resource3.0.20.100.dat" \
    "$prog/settings.ini" "$work/preview.before/"
  ud menu "${main[@]}" --id $menu_preview >/dev/null
  ud wait-window "${preview_window[@]}" --timeout 20 >/dev/null || fail "no preview window"
  expect_eq "main window while the preview is open" \
    "$(ud window-info "${main[@]}" | grep -o 'enabled=[01]')" "enabled=0"
  items=$(ud items "${preview_window[@]}" --control-class ListBox)
  expect_eq "first item, chosen at open" "$(head -1 <<<"$items")" 'index=0 selected=1 text="Summary"'
  grep -q 'text="ui/main/index.css"$' <<<"$items" || fail "index.css not among the changed files: $items"
  ud select "${preview_window[@]}" --control-class ListBox --item "ui/main/index.css" >/dev/null ||
    fail "index.css could not be chosen"
  shows_rule() { ud get-text "${preview_window[@]}" --control-class Edit | grep -qxF '+#BTN_HOME{display:none}'; }
  wait_for 10 shows_rule || fail "the diff of index.css does not add #BTN_HOME{display:none}"
  ud key "${preview_window[@]}" --key escape >/dev/null
  ud wait-gone "${preview_window[@]}" --timeout 10 >/dev/null || fail "Esc did not close the preview"
  main_stays "preview"
  expect_eq "main window after the preview" "$(ud window-info "${main[@]}" | grep -o 'enabled=[01]')" "enabled=1"
  cmp -s "$work/preview.before/host.dat" "$host/Bin/Resource.dat" || fail "host archive changed"
  for file in Resource.dat Resource.files Resource3.0.20.100.dat settings.ini; do
    cmp -s "$work/preview.before/$file" "$prog/$file" || fail "$file changed"
  done
  diff -r "$work/preview.before/Resource" "$prog/Resource" >/dev/null || fail "working tree changed"
  expect_eq "host started" "$(host_starts "$host")" 0
  close_everything
}

# A comment in another code page in one template, a stray byte in another.
bytes_not_utf8() {  # tree
  printf '<!-- \xb2\xe2\xca\xd4 -->\r\n' >>"$1/ui/main/favbar.htm"
  printf '\xff' >>"$1/ui/main/navbar.htm"
}
bytes_checks() {
  echo "== templates holding bytes that are not UTF-8: Apply edits around them and leaves the rest byte for byte"
  before_pack=bytes_not_utf8 prepare bytes 3.0.20.100
  cp "$prog/Resource/ui/main/favbar.htm" "$prog/Resource/ui/main/navbar.htm" "$work/"
  ud check "${main[@]}" --control "Show Browsing Mode text description" --state 1 >/dev/null || fail "option not ticked"
  click_ok
  expect_ravelwick_ends 60
  inspect "$host/Bin/Resource.dat"
  cmp -s "$work/favbar.htm" "$work/inspect/ui/main/favbar.htm" || fail "favbar.htm, which no option edits, changed"
  LC_ALL=C sed -i -e 's|<div class="turbo" />|<div class="turbo">$Turbo$</div>|' \
    -e 's|<div class="comp" />|<div class="comp">$Compatible$</div>|' "$work/navbar.htm"
  cmp -s "$work/navbar.htm" "$work/inspect/ui/main/navbar.htm" || fail "navbar.htm: more changed than the mode texts"
  close_everything
}

mkdir -p "$work"
rollback_checks() {
  echo "== host refuses the new archive: the one before goes back and the host runs again"
  prepare rollback 3.0.20.100
  printf 'TESTHOST-REFUSES-THIS-ARCHIVE' >"$prog/Resource/ui/refuse.txt"
  ud check "${main[@]}" --control "Hide Status Bar" --state 1 >/dev/null
  ud click "${main[@]}" --id 1 >/dev/null
  expect_message "RolledBack" "Maxthon 3 did not start with the new look, so Ravelwick put the previous look back" 60
  expect_ravelwick_ends 30
  cmp -s "$work/original.dat" "$host/Bin/Resource.dat" || fail "archive before not put back byte for byte"
  cmp -s "$work/original.dat" "$prog/Resource3.0.20.100.dat" || fail "backup changed"
  host_log "$host" | grep -q '^refuse$' || fail "host did not refuse the new archive"
  expect_eq "host started with the new and then the old archive" "$(host_starts "$host")" 2
  ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "host not running with the archive before"
  ! compgen -G "$prog/Resource.kept.*.dat" >/dev/null || fail "kept archive left behind"
  grep -q 'Browser did not start with it' "$prog/ravelwick.log" || fail "rollback not logged"
  close_everything

  echo "== host that ends whatever it gets: told once, no second rollback, nothing deleted"
  prepare stilldown 3.0.20.100
  printf -- '--background --exit-after 1' >"$host/Bin/testhost.args"
  ud click "${main[@]}" --id 1 >/dev/null
  expect_message "StillDown" "Maxthon 3 did not start with the new look. Ravelwick put the previous look back" 90
  expect_ravelwick_ends 30
  cmp -s "$work/original.dat" "$host/Bin/Resource.dat" || fail "archive before not put back"
  expect_eq "two starts, no loop" "$(host_starts "$host")" 2
  cmp -s "$work/original.dat" "$prog/Resource3.0.20.100.dat" || fail "backup changed"
  [ -f "$prog/Resource.dat" ] && [ -d "$prog/Resource" ] || fail "working files deleted"
  close_everything
}

aboutwatch_checks() {
  echo "== About asked for during the watch of a host that dies: no box holds it, the rollback comes within the limit"
  prepare aboutwatch 3.0.20.100
  printf 'TESTHOST-REFUSES-THIS-ARCHIVE' >"$prog/Resource/ui/refuse.txt"
  # It dies a few seconds in, so that the wait is there to be seen.
  printf -- '--window-after 3000' >"$host/Bin/testhost.args"
  ud check "${main[@]}" --control "Hide Status Bar" --state 1 >/dev/null
  ud click "${main[@]}" --id 1 >/dev/null
  wait_for 30 progress_says "Waiting for Maxthon 3 to start" || fail "no progress window during the start watch"
  local asked=$SECONDS
  ud menu "${main[@]}" --hidden --id $menu_about >/dev/null
  # The first box is the rollback's word, not About's, and it comes within the watch's 15 s.
  expect_message "RolledBack" "Maxthon 3 did not start with the new look, so Ravelwick put the previous look back" 20
  [ $((SECONDS - asked)) -le 17 ] || fail "the rollback came $((SECONDS - asked)) s after About was asked for"
  expect_ravelwick_ends 30
  cmp -s "$work/original.dat" "$host/Bin/Resource.dat" || fail "archive before not put back byte for byte"
  close_everything
}

slowstart_checks() {
  echo "== host slow to show its window but running: no rollback"
  prepare slowstart 3.0.20.100
  printf -- '--window-after 6000' >"$host/Bin/testhost.args"
  ud check "${main[@]}" --control "Hide Status Bar" --state 1 >/dev/null
  ud click "${main[@]}" --id 1 >/dev/null
  # The watch hides the main window; the small one of the wait stays.
  wait_for 30 progress_says "Waiting for Maxthon 3 to start" || fail "no progress window during the start watch"
  ud window-info "${main[@]}" --hidden --timeout 0 | grep -q 'visible=0' || fail "main window shown during the watch"
  expect_ravelwick_ends 60
  expect_eq "one start" "$(host_starts "$host")" 1
  cmp -s "$prog/Resource.dat" "$host/Bin/Resource.dat" || fail "new archive not kept"
  ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "host window never appeared"
  ! compgen -G "$prog/Resource.kept.*.dat" >/dev/null || fail "kept archive left behind"
  close_everything
}

reapply_checks() {
  echo "== after a browser update the stored options are offered for the new version, once"
  prepare reapply 3.0.15.300
  close_everything
  cp "$testhosts/3.0.20.100/Maxthon.exe" "$host/Bin/Maxthon.exe"
  printf 'HideHome=1\r\n' >>"$prog/settings.ini"
  start_ravelwick "$prog"
  case "$(ud message "${msgbox[@]}" --timeout 40)" in
    "Maxthon 3 was updated from 3.0.15.300 to 3.0.20.100"*) ud click "${msgbox[@]}" --control Yes >/dev/null ;;
    *) fail "no question after the update" ;;
  esac
  expect_ravelwick_ends 90
  cmp -s "$prog/Resource3.0.20.100.dat" "$work/original.dat" || fail "new version's backup is not its own archive"
  inspect "$host/Bin/Resource.dat"
  grep -qF '#BTN_HOME{display:none}' "$work/inspect/ui/main/index.css" || fail "the options were not applied"
  close_everything

  echo "== the next start asks no more"
  start_ravelwick "$prog"
  wait_for 30 ok_enabled || fail "OK not enabled on the next start"
  sleep 2
  [ -z "$(ud list "${msgbox[@]}" --timeout 0)" ] || fail "asked a second time"
  close_everything
}

foreignkept_checks() {
  echo "== an install cut off during its watch, then a browser update: the archive kept then is never offered"
  prepare foreignkept 3.0.15.300
  printf -- '--window-after 10000' >"$host/Bin/testhost.args"
  ud check "${main[@]}" --control "Hide Status Bar" --state 1 >/dev/null
  click_ok
  wait_for 60 progress_says "Waiting for Maxthon 3 to start" || fail "no watch of the host's start"
  kill -9 "$rw_pid" 2>/dev/null
  wait "$rw_pid" 2>/dev/null
  compgen -G "$prog/Resource.kept.*.dat" >/dev/null && compgen -G "$prog/Resource.kept.[0-9a-f]*[0-9a-f]" >/dev/null || fail "the cut-off install kept nothing"
  close_everything
  rm -f "$host/Bin/testhost.args"
  cp "$testhosts/3.0.20.100/Maxthon.exe" "$host/Bin/Maxthon.exe"
  cp "$host/Bin/Resource.dat" "$work/before.dat"
  start_ravelwick "$prog"
  # The one question left is the offer after the update.
  case "$(ud message "${msgbox[@]}" --timeout 40)" in
    "Maxthon 3 was updated from 3.0.15.300 to 3.0.20.100"*) ud click "${msgbox[@]}" --control No >/dev/null ;;
    *) fail "the first question is not the offer after the update" ;;
  esac
  wait_for 30 ok_enabled || fail "OK not enabled after the start"
  sleep 2
  [ -z "$(ud list "${msgbox[@]}" --timeout 0)" ] || fail "a further question: $(ud message "${msgbox[@]}" --timeout 0)"
  cmp -s "$work/before.dat" "$host/Bin/Resource.dat" || fail "host archive changed"
  ! compgen -G "$prog/Resource.kept*" >/dev/null || fail "kept archive left behind"
  grep -q 'kept from Maxthon 3.0.15.300 .*deleted, not put back' "$prog/ravelwick.log" || fail "the drop is not logged"
  close_everything
}

case "$group" in
  foreignkept) foreignkept_checks ;;
  unpack) unpack_checks ;;
  apply) apply_checks ;;
  cancel) cancel_checks ;;
  stubborn) stubborn_checks ;;
  background) background_checks ;;
  restore) restore_checks ;;
  help) help_checks ;;
  repoint) repoint_checks ;;
  second) second_checks ;;
  noversion) noversion_checks ;;
  emptyarchive) emptyarchive_checks ;;
  partial) partial_checks ;;
  badpacker) badpacker_checks ;;
  spelling) spelling_checks ;;
  readonly) readonly_checks ;;
  link) link_checks ;;
  longpath) longpath_checks ;;
  rollback) rollback_checks ;;
  aboutwatch) aboutwatch_checks ;;
  slowstart) slowstart_checks ;;
  preview) preview_checks ;;
  reapply) reapply_checks ;;
  bytes) bytes_checks ;;
  *) fail "unknown group $group" ;;
esac
wineserver -k >/dev/null 2>&1
if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all pipeline end-to-end checks of $group passed"
