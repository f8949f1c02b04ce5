#!/usr/bin/env bash
# End-to-end tests of the start-up under Wine: the real ravelwick.exe against
# the test host (Maxthon.exe), driven by uidriver.exe, in the build folder's
# private prefix.
#
#   startup_e2e.sh RAVELWICK_EXE TESTHOST_DIR UIDRIVER_EXE WORK_DIR GROUP
#
# GROUP is one of: backup, registry, dialog, instance, race, close.
set -u
ravelwick=$1
testhosts=$2
uidriver=$3
work=$4/$5
group=$5

script_args=("$@")
source "$(dirname "$0")/common.sh"
reg_clear() { wine reg delete 'HKCU\Software\Maxthon3' /f >/dev/null 2>&1; }

# A program folder with dummy tools and an English language file.
make_program() {
  rm -rf "$1"
  mkdir -p "$1/Languages"
  cp "$ravelwick" "$1/"
  : >"$1/unpak.exe"
  : >"$1/makpak.exe"
  printf '%s\r\n' '[General]' 'MissingFile=A tool is missing.' 'NoMX3=No Maxthon 3 found.' \
    'FolderLocked=Cannot remove $folder.' 'MX3Folder=Folder of Maxthon 3:' 'OK=OK' 'Cancel=Cancel' \
    'SelectFolder=Choose the folder' 'InvaidFolder=No Maxthon 3 in "$folder".' \
    'NoFolderFound=Ravelwick found no Maxthon 3 folder in its settings or in the registry.' >"$1/Languages/English.ini"
}
make_host() {  # folder version
  rm -rf "$1"
  mkdir -p "$1/Bin"
  cp "$testhosts/$2/Maxthon.exe" "$1/Bin/"
  head -c 200000 /dev/urandom >"$1/Bin/Resource.dat"
}

# Starts ravelwick.exe; finish_ravelwick waits for it to end, closing a
# main window should one appear.
start_ravelwick() {
  wine "$1/ravelwick.exe" &
  rw_pid=$!
}
finish_ravelwick() {
  local deadline=$((SECONDS + ${1:-40}))
  while kill -0 "$rw_pid" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      fail "ravelwick.exe did not end"
      kill "$rw_pid" 2>/dev/null
      break
    fi
    ud close --class RavelwickMainWindow --title "Ravelwick (1.2.7)" --timeout 0 >/dev/null
    # The stand-in tools are empty files: the first activation says it could
    # not unpack, in the built-in English, and a close waits for that word.
    ud click "${msgbox[@]}" --control OK --timeout 0 >/dev/null
    sleep 1
  done
  wait "$rw_pid" 2>/dev/null
}
dialog=(--window-class RavelwickSetFolder --window-title Ravelwick)

mkdir -p "$work"
reg_clear

backup_checks() {
echo "== version, backup and settings folder"
prog="$work/p1"
host="$work/host1"
make_program "$prog"
make_host "$host" 3.0.15.300
cp "$host/Bin/Resource.dat" "$work/original.dat"
printf '[General]\r\nInstallFolder=%s\r\n' "$(winpath "$host")" >"$prog/settings.ini"
start_ravelwick "$prog"
finish_ravelwick
expect_eq "FileVersion" "$(setting "$prog/settings.ini" FileVersion)" "3.0.15.300"
expect_eq "InstallFolder kept as written" "$(setting "$prog/settings.ini" InstallFolder)" "$(winpath "$host")"
cmp -s "$work/original.dat" "$prog/Resource3.0.15.300.dat" || fail "backup differs from the host archive"

echo "== a restore empties FileVersion: derived files go, the backup stays"
head -c 1000 /dev/urandom >"$host/Bin/Resource.dat"  # as if a modified archive was installed
mkdir -p "$prog/Resource/ui/main" && echo css >"$prog/Resource/ui/main/index.css"
echo packed >"$prog/Resource.dat"
printf '[General]\r\nInstallFolder=%s\r\nFileVersion=\r\n' "$(winpath "$host")" >"$prog/settings.ini"
start_ravelwick "$prog"
finish_ravelwick
cmp -s "$work/original.dat" "$prog/Resource3.0.15.300.dat" || fail "backup was replaced"
[ ! -e "$prog/Resource" ] || fail "working tree not removed"
# Unpacking on the main window's first activation may copy the backup there.
[ ! -e "$prog/Resource.dat" ] || cmp -s "$work/original.dat" "$prog/Resource.dat" || fail "packed archive not removed"
expect_eq "FileVersion after restore" "$(setting "$prog/settings.ini" FileVersion)" "3.0.15.300"

echo "== host updated: a second backup beside the first"
cp "$testhosts/3.0.20.100/Maxthon.exe" "$host/Bin/Maxthon.exe"
start_ravelwick "$prog"
finish_ravelwick
expect_eq "FileVersion" "$(setting "$prog/settings.ini" FileVersion)" "3.0.20.100"
cmp -s "$host/Bin/Resource.dat" "$prog/Resource3.0.20.100.dat" || fail "new backup differs"
cmp -s "$work/original.dat" "$prog/Resource3.0.15.300.dat" || fail "old backup changed"

echo "== a read-only file in the old working tree stops the start"
cp "$testhosts/3.0.15.300/Maxthon.exe" "$host/Bin/Maxthon.exe"
mkdir -p "$prog/Resource/ui" && echo x >"$prog/Resource/ui/locked.css" && chmod a-w "$prog/Resource/ui/locked.css"
start_ravelwick "$prog"
expect_eq "FolderLocked" "$(ud message "${msgbox[@]}" --timeout 20)" "Cannot remove $(winpath "$prog")\\Resource."
ud click "${msgbox[@]}" --control OK >/dev/null
finish_ravelwick
expect_eq "FileVersion kept" "$(setting "$prog/settings.ini" FileVersion)" "3.0.20.100"
chmod -R u+w "$prog/Resource"

echo "== host without version information: nothing is prepared"
cp "$testhosts/none/Maxthon.exe" "$host/Bin/Maxthon.exe"
rm -rf "$prog/Resource"
start_ravelwick "$prog"
finish_ravelwick
expect_eq "FileVersion untouched" "$(setting "$prog/settings.ini" FileVersion)" "3.0.20.100"
[ ! -e "$prog/Resource.dat" ] || fail "a backup named Resource.dat appeared"

}

registry_checks() {
echo "== registry folder with non-ASCII letters, without trailing backslash"
prog="$work/p2"
host="$work/Hôte ✓ 浏览器"
make_program "$prog"
make_host "$host" 3.0.20.100
wine reg add 'HKCU\Software\Maxthon3' /v Folder /t REG_SZ /d "$(winpath "$host")" /f >/dev/null 2>&1
start_ravelwick "$prog"
finish_ravelwick
expect_eq "InstallFolder from the registry" "$(setting "$prog/settings.ini" InstallFolder)" "$(winpath "$host")\\"
expect_eq "FileVersion" "$(setting "$prog/settings.ini" FileVersion)" "3.0.20.100"
cmp -s "$host/Bin/Resource.dat" "$prog/Resource3.0.20.100.dat" || fail "backup from a non-ASCII folder"

echo "== registry value of the wrong type: the dialog, then Esc, then NoMX3"
prog="$work/p3"
make_program "$prog"
reg_clear
wine reg add 'HKCU\Software\Maxthon3' /v Folder /t REG_DWORD /d 5 /f >/dev/null 2>&1
start_ravelwick "$prog"
ud wait-window "${dialog[@]}" --timeout 20 >/dev/null || fail "no host folder dialog"
ud key "${dialog[@]}" --key escape >/dev/null
expect_eq "NoMX3" "$(ud message "${msgbox[@]}" --timeout 10)" "No Maxthon 3 found."
ud click "${msgbox[@]}" --control OK >/dev/null
finish_ravelwick
expect_eq "no InstallFolder" "$(setting "$prog/settings.ini" InstallFolder)" ""
reg_clear
}

dialog_checks() {
echo "== host folder dialog: rejects the Bin folder, accepts the host folder (non-ASCII path)"
prog="$work/p4"
host="$work/Hôte ✓ 浏览器 4"
make_program "$prog"
make_host "$host" 3.0.15.300
start_ravelwick "$prog"
ud wait-window "${dialog[@]}" --timeout 20 >/dev/null || fail "no host folder dialog"
expect_eq "label" "$(ud get-text "${dialog[@]}" --control-class Static)" "Folder of Maxthon 3:"
expect_eq "why it is shown" "$(ud get-text "${dialog[@]}" --control-class Static --index 1)" \
  "Ravelwick found no Maxthon 3 folder in its settings or in the registry."
expect_eq "empty text" "$(ud get-text "${dialog[@]}" --control-class Edit)" ""
picker=(--window-class "#32770" --window-title-contains Browse)
ud set-text "${dialog[@]}" --control-class Edit --text typed >/dev/null
ud click "${dialog[@]}" --control ... >/dev/null
ud get-text "${picker[@]}" --control "Choose the folder" --timeout 20 >/dev/null || fail "no folder picker with the prompt"
ud click "${picker[@]}" --control Cancel >/dev/null
ud wait-gone "${picker[@]}" >/dev/null
expect_eq "text after a cancelled picker" "$(ud get-text "${dialog[@]}" --control-class Edit)" "typed"
if [ -n "${RW_SCREENSHOT:-}" ]; then
  ud set-text "${dialog[@]}" --control-class Edit --text 'C:\Program Files\Maxthon3' >/dev/null
  sleep 1
  # The dialog with a margin of desktop around it.
  rect=$(ud window-info "${dialog[@]}" | sed -n 's/.* rect=\([-0-9,]*\).*/\1/p')
  IFS=, read -r l t r b <<<"$rect"
  import -window root -crop "$((r - l + 40))x$((b - t + 40))+$((l - 20))+$((t - 20))" "$RW_SCREENSHOT"
fi
ud set-text "${dialog[@]}" --control-class Edit --text "$(winpath "$host")\\Bin" >/dev/null
ud click "${dialog[@]}" --control OK >/dev/null
expect_eq "InvaidFolder" "$(ud message "${msgbox[@]}" --timeout 10)" "No Maxthon 3 in \"$(winpath "$host")\\Bin\"."
ud click "${msgbox[@]}" --control OK >/dev/null
ud wait-gone "${msgbox[@]}" --timeout 10 >/dev/null
sleep 1
focus=$(ud focus-info "${dialog[@]}")
case "$focus" in
  *'class="Edit"'*) ;;
  *) fail "focus not in the text box: $focus" ;;
esac
length=$(sed -n 's/.* length=\([0-9]*\).*/\1/p' <<<"$focus")
expect_eq "whole text selected" "$(sed -n 's/.* selection=\([0-9,]*\).*/\1/p' <<<"$focus")" "0,$length"
ud set-text "${dialog[@]}" --control-class Edit --text "$(winpath "$host")" >/dev/null
ud key "${dialog[@]}" --control-class Edit --key enter >/dev/null
ud wait-gone "${dialog[@]}" --timeout 10 >/dev/null || fail "dialog still open after a valid folder"
finish_ravelwick
expect_eq "InstallFolder from the dialog" "$(setting "$prog/settings.ini" InstallFolder)" "$(winpath "$host")\\"
expect_eq "FileVersion" "$(setting "$prog/settings.ini" FileVersion)" "3.0.15.300"

echo "== a missing tool ends with MissingFile"
rm "$prog/makpak.exe"
start_ravelwick "$prog"
expect_eq "MissingFile" "$(ud message "${msgbox[@]}" --timeout 20)" "A tool is missing."
ud click "${msgbox[@]}" --control OK >/dev/null
finish_ravelwick

}

instance_checks() {
echo "== a second start raises the open main window and ends silently"
helper="$work/helper"
rm -rf "$helper" && mkdir -p "$helper"
cp "$testhosts/3.0.20.100/Maxthon.exe" "$helper/"
wine "$helper/Maxthon.exe" --class RavelwickMainWindow --title "Ravelwick (1.2.7)" --minimized &
helper_pid=$!
ud wait-window --class RavelwickMainWindow --title "Ravelwick (1.2.7)" --timeout 20 >/dev/null || fail "no helper"
prog="$work/p5"
make_program "$prog"
start_ravelwick "$prog"
deadline=$((SECONDS + 30))
while kill -0 "$rw_pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.5; done
kill -0 "$rw_pid" 2>/dev/null && fail "second instance did not end"
finish_ravelwick 5
grep -q '^restore' "$helper/testhost.log" || fail "the first window was not restored"
case "$(ud window-info --class RavelwickMainWindow --title "Ravelwick (1.2.7)")" in
  *minimized=0*) ;;
  *) fail "the first window is still minimised" ;;
esac
[ -z "$(ud list --class "#32770")" ] || fail "a message was shown"
[ ! -e "$prog/settings.ini" ] || fail "the second instance wrote settings"
ud close --class RavelwickMainWindow --title "Ravelwick (1.2.7)" >/dev/null
wait "$helper_pid" 2>/dev/null
}

race_checks() {
echo "== two starts at the same moment: one main window, the other start ends"
prog="$work/p6"
host="$work/host6"
make_program "$prog"
make_host "$host" 3.0.20.100
printf '[General]\r\nInstallFolder=%s\\\r\n' "$(winpath "$host")" >"$prog/settings.ini"
for try in 1 2 3 4 5; do
  wine "$prog/ravelwick.exe" &
  first=$!
  wine "$prog/ravelwick.exe" &
  second=$!
  ud wait-window "${main[@]}" --timeout 30 >/dev/null || fail "try $try: no main window"
  # The loser waits a few seconds for the winner's window, then ends.
  deadline=$((SECONDS + 20))
  while kill -0 "$first" 2>/dev/null && kill -0 "$second" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.5; done
  running=0
  for pid in "$first" "$second"; do kill -0 "$pid" 2>/dev/null && running=$((running + 1)); done
  expect_eq "try $try: processes left" "$running" 1
  expect_eq "try $try: main windows" "$(ud list "${main[@]}" | grep -c RavelwickMainWindow)" 1
  # Only the winner's word that its empty stand-in tools unpacked nothing.
  said=$(ud message "${msgbox[@]}" --timeout 0 | tr -d '\r')
  case "$said" in "" | "The resource file "*) ;; *) fail "try $try: a message was shown: $said" ;; esac
  ud close "${main[@]}" >/dev/null
  for pid in "$first" "$second"; do
    rw_pid=$pid
    finish_ravelwick 20
  done
done
}

close_checks() {
prog="$work/p7"
host="$work/host7"
make_program "$prog"
make_host "$host" 3.0.20.100
printf '[General]\r\nInstallFolder=%s\\\r\n' "$(winpath "$host")" >"$prog/settings.ini"
close_by() {  # post-close, send-close or taskkill
  if [ "$1" = taskkill ]; then
    wine taskkill /im ravelwick.exe >/dev/null 2>&1
  else
    ud "$1" "${main[@]}" >/dev/null
  fi
}
ends_within() {  # seconds
  local deadline=$((SECONDS + $1))
  while kill -0 "$rw_pid" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.5
  done
}
for way in post-close send-close taskkill; do
  echo "== a bare WM_CLOSE ($way) ends the process"
  start_ravelwick "$prog"
  ud wait-window "${main[@]}" --timeout 20 >/dev/null || fail "$way: no main window"
  sleep 1
  close_by "$way"
  ends_within 15 || fail "$way: ravelwick.exe still runs"
  finish_ravelwick 5
done
for way in post-close send-close; do
  echo "== $way while the host folder dialog is open: the dialog goes, then the process ends"
  start_ravelwick "$prog"
  ud wait-window "${main[@]}" --timeout 20 >/dev/null || fail "$way: no main window"
  ud menu "${main[@]}" --id 101 >/dev/null  # Set Folder
  ud wait-window "${dialog[@]}" --timeout 20 >/dev/null || fail "$way: no host folder dialog"
  close_by "$way"
  ud wait-gone "${dialog[@]}" --timeout 10 >/dev/null || fail "$way: the dialog stays"
  ends_within 15 || fail "$way: ravelwick.exe still runs"
  finish_ravelwick 5
done
}

case "$group" in
  backup) backup_checks ;;
  registry) registry_checks ;;
  dialog) dialog_checks ;;
  instance) instance_checks ;;
  race) race_checks ;;
  close) close_checks ;;
  *) fail "unknown group $group" ;;
esac
reg_clear
wineserver -k >/dev/null 2>&1
if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all start-up end-to-end checks of $group passed"
