#!/usr/bin/env bash
# End-to-end checks of the command line under Wine: the real ravelwick.exe
# started with arguments prints to the streams it was given, ends with its
# exit code and never shows a window.
#
#   command_line_e2e.sh RAVELWICK_EXE PAK_DIR TESTHOST_DIR UIDRIVER_EXE WORK_DIR GROUP
#
# PAK_DIR holds unpak.exe and makpak.exe. GROUP is one of: preview, unpack,
# second, help, usage, nohost, apply, force, busy, noversion, refuse, restore,
# race, transfer, checked, kept, status, spelling, ownrules, looks.
set -u
ravelwick=$1
pak=$2
testhosts=$3
uidriver=$4
work=$5/$6
group=$6
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

script_args=("$@")
source "$(dirname "$0")/common.sh"

rule='#BTN_HOME{display:none}'

# A host folder with the test host and an archive packed from the made-up
# interface tree; a program folder with the real tools, the shipped
# languages and images, and settings pointing at the host with "Hide Home
# Button" ticked.
setup() {  # [host version, or "none"]
  prog="$work/Ravelwick"
  host="$work/Maxthon3"
  rm -rf "$prog" "$host" "$work/pack"
  mkdir -p "$prog" "$host/Bin" "$work/pack/Resource"
  cp "$testhosts/${1:-3.0.20.100}/Maxthon.exe" "$host/Bin/"
  cp -r "$source_dir/tests/fixtures/host-ui/." "$work/pack/Resource/"
  wine "$pak/makpak.exe" "$(winpath "$work/pack/Resource")" 2>/dev/null
  mv "$work/pack/Resource.dat" "$host/Bin/Resource.dat"
  cp "$ravelwick" "$pak/unpak.exe" "$pak/makpak.exe" "$prog/"
  cp -r "$source_dir/data/Languages" "$source_dir/data/ResFiles" "$prog/"
  printf '[General]\r\nLanguage=English\r\nInstallFolder=%s\\\r\nHideHome=1\r\n' "$(winpath "$host")" >"$prog/settings.ini"
}
# A normal first start that unpacks the tree; the window is left open.
first_start() {
  wine "${exe:-$prog/ravelwick.exe}" &
  rw_pid=$!
  ud wait-window "${main[@]}" --timeout 30 >/dev/null || fail "no main window"
  wait_for 30 test -f "$prog/Resource/ui/main/index.css" || fail "no working tree after the first start"
  wait_for 30 ok_enabled || fail "OK not enabled after the first start"
}
close_window() {
  ud close "${main[@]}" --timeout 0 >/dev/null
  wait_for 30 bash -c "! kill -0 $rw_pid 2>/dev/null" || fail "ravelwick.exe did not end"
  wait "$rw_pid" 2>/dev/null
}
# Every file and folder below the given folders, with the hash of each file.
fingerprint() {
  find "$@" -type d | sort
  find "$@" -type f -exec sha256sum {} + | sort -k 2
}
# Runs ravelwick.exe ARGS... with its output in $work/out and $work/err and
# its exit code in $rc; $windows lists the windows seen meanwhile, each
# closed at once so that a message box cannot hold the run up. With
# watch=0 the windows are left alone. $exe, when set, is the program's path
# as it is started: Wine names a Unix path by the drive that leads there.
watch=1
run() {
  timeout 60 wine "${exe:-$prog/ravelwick.exe}" "$@" >"$work/out" 2>"$work/err" &
  local pid=$!
  windows=""
  watch_windows() {
    [ "$watch" == 1 ] || return
    local seen
    seen=$(ud list --title-contains Ravelwick --timeout 0)
    [ -z "$seen" ] && return
    windows+="$seen"$'\n'
    ud close --title-contains Ravelwick --timeout 0 >/dev/null
  }
  while kill -0 "$pid" 2>/dev/null; do
    watch_windows
    sleep 0.2
  done
  wait "$pid"
  rc=$?
  watch_windows
}
# Every host start that did not refuse has logged its exit: the process
# outlives its window for a moment.
host_ended() {
  [ "$(host_log "$host" | grep -c '^exit$')" -ge $(($(host_starts "$host") - $(host_log "$host" | grep -c '^refuse$'))) ]
}
close_host() {
  ud close "${host_window[@]}" --timeout 0 >/dev/null
  wait_for 20 host_ended || fail "the host did not end"
}
installed_rule() { inspect "$host/Bin/Resource.dat" && grep -qF "$rule" "$work/inspect/ui/main/index.css"; }
expect_no_window() { [ -z "$windows" ] || fail "$1 showed a window: $windows"; }
expect_one_line() {  # what file text
  expect_eq "$1: lines" "$(wc -l <"$2")" 1
  grep -q "$3" "$2" || fail "$1: '$(cat "$2")' does not say '$3'"
}

preview_checks() {
  echo "== /preview after a first start: the rule on standard output, not a byte changed"
  setup
  first_start
  close_window
  local before
  before=$(fingerprint "$prog" "$host")
  run /preview
  expect_eq "exit code" "$rc" 0
  grep -qF "$rule" "$work/out" || fail "the rule is not in the preview"
  expect_eq "standard error" "$(cat "$work/err")" ""
  expect_no_window /preview
  expect_eq "files changed by /preview" "$(fingerprint "$prog" "$host")" "$before"

  echo "== /preview through a pipe, spelled -PREVIEW"
  expect_eq "rule lines through a pipe" "$(timeout 60 wine "$prog/ravelwick.exe" -PREVIEW 2>/dev/null | grep -cF "$rule")" \
    "$(grep -cF "$rule" "$work/out")"
  expect_eq "files changed by the second run" "$(fingerprint "$prog" "$host")" "$before"
}

unpack_checks() {
  echo "== /preview before any start: unpacks the tree as the first start would, then reads only"
  setup
  local host_before
  host_before=$(fingerprint "$host")
  run /preview
  expect_eq "exit code" "$rc" 0
  grep -qF "$rule" "$work/out" || fail "the rule is not in the preview"
  expect_no_window /preview
  [ -f "$prog/Resource/ui/main/index.css" ] || fail "no working tree"
  cmp -s "$host/Bin/Resource.dat" "$prog/Resource3.0.20.100.dat" || fail "no backup of the host's archive"
  expect_eq "host folder changed" "$(fingerprint "$host")" "$host_before"
  local before
  before=$(fingerprint "$prog" "$host")
  run /preview
  expect_eq "second exit code" "$rc" 0
  expect_eq "files changed by the second /preview" "$(fingerprint "$prog" "$host")" "$before"
}

second_checks() {
  echo "== /preview while the window is open: reads; would it have to unpack, exit 5"
  setup
  first_start
  # What the other groups watch for finds this window.
  [ -n "$(ud list --title-contains Ravelwick --timeout 0)" ] || fail "the open window is not listed"
  watch=0
  run /preview
  expect_eq "exit code beside the window" "$rc" 0
  grep -qF "$rule" "$work/out" || fail "the rule is not in the preview"
  rm -rf "$prog/Resource"
  run /preview
  expect_eq "exit code when it would unpack" "$rc" 5
  expect_eq "standard output" "$(cat "$work/out")" ""
  expect_one_line "reason" "$work/err" "window is open"
  [ ! -e "$prog/Resource" ] || fail "unpacked beside the window"
  close_window
}

help_checks() {
  echo "== /? and its spellings: usage on standard output, exit 0"
  setup
  for spelling in /? -? /HELP; do
    run "$spelling"
    expect_eq "$spelling exit code" "$rc" 0
    grep -q '^  /preview ' "$work/out" || fail "$spelling does not list /preview"
    grep -q '^  9  ' "$work/out" || fail "$spelling does not list the exit codes"
    expect_eq "$spelling standard error" "$(cat "$work/err")" ""
    expect_no_window "$spelling"
  done
}

usage_checks() {
  echo "== a mistake: the reason and the usage on standard error, exit 9, no window"
  setup
  for line in /bogus "/preview extra"; do
    # shellcheck disable=SC2086 # one argument per word
    run $line
    expect_eq "$line exit code" "$rc" 9
    expect_eq "$line standard output" "$(cat "$work/out")" ""
    head -1 "$work/err" | grep -q '^ravelwick.exe: ' || fail "$line: no reason first: $(head -1 "$work/err")"
    grep -q '^  /preview ' "$work/err" || fail "$line: no usage on standard error"
    expect_no_window "$line"
  done
  [ ! -e "$prog/Resource" ] || fail "a mistake unpacked"

  echo "== a file dropped on ravelwick.exe, as Explorer starts it (no console, no stream): the usage in a message box, exit 9"
  (
    timeout 60 wine start /wait /unix "$prog/ravelwick.exe" "$(winpath "$work/photo.jpg")"
    echo $? >"$work/rc"
  ) &
  local text
  text=$(ud message "${msgbox[@]}" --timeout 30 | tr -d '\r')
  grep -q "no verb" <<<"$text" || fail "the message box does not say why: $text"
  grep -q '/preview ' <<<"$text" || fail "the message box holds no usage: $text"
  ud close "${msgbox[@]}" --timeout 0 >/dev/null
  wait
  expect_eq "exit code of the dropped file" "$(cat "$work/rc")" 9
  [ -z "$(ud list "${main[@]}" --timeout 0)" ] || fail "a dropped file opened the window"
}

nohost_checks() {
  echo "== /preview with no host folder: exit 2 and one line why, no window, nothing written"
  setup
  wine reg delete 'HKCU\Software\Maxthon3' /f >/dev/null 2>&1
  printf '[General]\r\nHideHome=1\r\n' >"$prog/settings.ini"
  local before
  before=$(fingerprint "$prog")
  run /preview
  expect_eq "exit code" "$rc" 2
  expect_eq "standard output" "$(cat "$work/out")" ""
  expect_one_line "reason" "$work/err" "not found"
  expect_no_window /preview
  expect_eq "files changed" "$(fingerprint "$prog")" "$before"
}

apply_checks() {
  echo "== /apply before any start: prepares, installs the rule, starts the host; one line, exit 0, no window"
  setup
  run /apply
  expect_eq "exit code" "$rc" 0
  expect_one_line "result" "$work/out" "^Installed the stored options into "
  expect_eq "standard error" "$(cat "$work/err")" ""
  expect_no_window /apply
  installed_rule || fail "the installed archive does not hold the rule"
  expect_eq "host starts" "$(host_starts "$host")" 1
  grep -q ' Apply' "$prog/ravelwick.log" || fail "/apply not logged"
  close_host
}

force_checks() {
  echo "== /apply with the host's window open: exit 3, nothing changed, a box only without /quiet; /force: 0"
  setup
  wine "$host/Bin/Maxthon.exe" &
  ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "no host window"
  local before
  before=$(fingerprint "$host")
  run /apply /quiet
  expect_eq "exit code without /force" "$rc" 3
  expect_one_line "reason" "$work/err" "/force"
  expect_no_window "/apply /quiet"
  run /apply
  expect_eq "exit code without /quiet" "$rc" 3
  [ -n "$windows" ] || fail "no message box without /quiet"
  expect_eq "host folder changed without /force" "$(fingerprint "$host")" "$before"
  run /apply /force /quiet
  expect_eq "exit code with /force" "$rc" 0
  host_log "$host" | grep -q '^close$' || fail "the host was not sent the close command"
  installed_rule || fail "the installed archive does not hold the rule"
  close_host
}

busy_checks() {
  echo "== /apply and /restore while the window is open: exit 5, nothing changed"
  setup
  first_start
  watch=0
  local before
  before=$(fingerprint "$prog" "$host")
  for verb in /apply /restore; do
    run "$verb" /quiet /force
    expect_eq "$verb exit code" "$rc" 5
    expect_one_line "$verb reason" "$work/err" "already open"
  done
  expect_eq "files changed" "$(fingerprint "$prog" "$host")" "$before"
  close_window
}

noversion_checks() {
  echo "== /apply on a host without a version: exit 2, nothing touched"
  setup none
  local before
  before=$(fingerprint "$prog" "$host")
  run /apply /quiet
  expect_eq "exit code" "$rc" 2
  expect_one_line "reason" "$work/err" "cannot read the version"
  expect_eq "files changed" "$(fingerprint "$prog" "$host")" "$before"
}

refuse_checks() {
  echo "== /apply, the host refuses the new archive: exit 4, the archive before is back, the host runs"
  setup
  first_start
  close_window
  cp "$host/Bin/Resource.dat" "$work/original.dat"
  printf 'TESTHOST-REFUSES-THIS-ARCHIVE' >"$prog/Resource/ui/refuse.txt"
  run /apply /quiet
  expect_eq "exit code" "$rc" 4
  expect_one_line "reason" "$work/err" "did not start with the new look"
  cmp -s "$work/original.dat" "$host/Bin/Resource.dat" || fail "the archive before is not back"
  expect_eq "host starts" "$(host_starts "$host")" 2
  ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "the host is not running with the archive before"
  close_host
}

restore_checks() {
  echo "== /restore after /apply: the host's own archive back, exit 0; without a backup: exit 1"
  setup
  cp "$host/Bin/Resource.dat" "$work/original.dat"
  run /apply /quiet
  close_host
  run /restore /quiet
  expect_eq "/restore exit code" "$rc" 0
  expect_one_line "result" "$work/out" "^Put the backup "
  cmp -s "$work/original.dat" "$host/Bin/Resource.dat" || fail "the host's own archive is not back"
  grep -q ' Restore' "$prog/ravelwick.log" || fail "/restore not logged"
  close_host
  rm "$prog/Resource3.0.20.100.dat"
  # Prepared for this version again, but without its backup.
  sed -i 's/^FileVersion=[^\r]*/FileVersion=3.0.20.100/' "$prog/settings.ini"
  local before
  before=$(fingerprint "$host")
  run /restore /quiet
  expect_eq "/restore exit code without a backup" "$rc" 1
  expect_one_line "reason" "$work/err" "no backup"
  expect_eq "host folder changed" "$(fingerprint "$host")" "$before"
}

kept_checks() {
  setup
  host_started() { [ "$(host_starts "$host")" -ge "$1" ]; }
  # An /apply killed while it watches the host start, which shows its window late.
  killed_apply() {  # host starts before it
    printf -- '--window-after 8000' >"$host/Bin/testhost.args"
    wine "$prog/ravelwick.exe" /apply /quiet >/dev/null 2>&1 &
    local pid=$!
    wait_for 60 host_started $(($1 + 1)) || fail "the host was not started"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    rm -f "$host/Bin/testhost.args"
    compgen -G "$prog/Resource.kept.*.dat" >/dev/null || fail "the killed /apply kept nothing"
  }
  for host_runs in 1 0; do
    echo "== /apply killed during its watch, host $([ $host_runs == 1 ] && echo running || echo closed):" \
      "the next /apply /quiet settles the kept archive itself"
    killed_apply "$(host_starts "$host")"
    ud wait-window "${host_window[@]}" --timeout 20 >/dev/null || fail "no host window"
    [ $host_runs == 1 ] || close_host
    run /apply /quiet /force
    expect_eq "exit code" "$rc" 0
    ! compgen -G "$prog/Resource.kept.*.dat" >/dev/null || fail "kept archive left behind"
    installed_rule || fail "the installed archive does not hold the rule"
    if [ $host_runs == 1 ]; then
      grep -q 'runs with the installed look: Resource.kept.dat.*was deleted' "$prog/ravelwick.log" ||
        fail "the drop is not logged"
    else
      grep -q 'was not running.*was put back' "$prog/ravelwick.log" || fail "the put-back is not logged"
    fi
    close_host
  done
}

race_checks() {
  echo "== two /apply started at once: one installs (0), the other changes nothing (5)"
  setup
  local codes=()
  for i in 1 2; do timeout 120 wine "$prog/ravelwick.exe" /apply /quiet >"$work/out$i" 2>"$work/err$i" & done
  for pid in $(jobs -p); do
    wait "$pid"
    codes+=($?)
  done
  expect_eq "exit codes" "$(printf '%s\n' "${codes[@]}" | sort | tr '\n' ' ')" "0 5 "
  cat "$work/err1" "$work/err2" | grep -q "already open" || fail "the one that did not run does not say why"
  installed_rule || fail "the installed archive does not hold the rule"
  expect_eq "host starts" "$(host_starts "$host")" 1
  close_host
}

status_checks() {
  echo "== /status after a first start: the original interface and the options in words, exit 0, not a byte changed"
  setup
  first_start
  close_window
  local before
  before=$(fingerprint "$prog" "$host")
  run /status
  expect_eq "exit code" "$rc" 0
  expect_eq "header" "$(head -1 "$work/out" | tr -d '\r')" "Maxthon 3.0.20.100 in $(winpath "$host") — original interface"
  tr -d '\r' <"$work/out" | grep -qxF 'Hide Home Button: ticked (changed from default)' || fail "no Hide Home Button line"
  expect_eq "standard error" "$(cat "$work/err")" ""
  expect_no_window /status
  expect_eq "files changed by /status" "$(fingerprint "$prog" "$host")" "$before"

  echo "== /status after /apply: the look Ravelwick installed, with the time of the install"
  run /apply /quiet
  close_host
  before=$(fingerprint "$prog" "$host")
  run /status
  expect_eq "exit code after /apply" "$rc" 0
  head -1 "$work/out" | grep -qF "— the look Ravelwick installed on $(date -u +%Y-%m-%d)" ||
    fail "header after /apply: $(head -1 "$work/out")"
  expect_eq "files changed by the second /status" "$(fingerprint "$prog" "$host")" "$before"
}

# Other paths to the program folder: a drive letter of its own (Wine's
# "subst", a link in the prefix's dosdevices) and a Unix symbolic link, which
# Wine shows as a reparse point. The programs are started by Windows paths,
# which Wine keeps as they are spelled.
spelling_checks() {
  setup
  local drive="$WINEPREFIX/dosdevices/r:" real linked
  trap 'rm -f "$WINEPREFIX/dosdevices/r:"' EXIT
  ln -sfn "$prog" "$drive"
  ln -sfn "$prog" "$work/Linked"
  real="$(winpath "$prog")\\ravelwick.exe"
  linked=$(winpath "$work/Linked")
  echo "== /export over settings.ini by another path: refused, settings.ini keeps its keys"
  local before
  before=$(sha256sum <"$prog/settings.ini")
  exe=$real
  for target in 'R:\settings.ini' "$linked\\SETTINGS.INI"; do
    run /export "$target"
    expect_eq "/export $target exit code" "$rc" 2
    expect_one_line "/export $target reason" "$work/err" "own settings file"
    expect_eq "settings.ini after /export $target" "$(sha256sum <"$prog/settings.ini")" "$before"
  done

  echo "== the window open by one path, /apply and /import by others: exit 5, nothing changed"
  first_start
  watch=0
  printf '[General]\r\nHideHome=0\r\n' >"$work/look.ini"
  before=$(fingerprint "$prog" "$host")
  exe='R:\ravelwick.exe'
  run /apply /quiet /force
  expect_eq "/apply by another drive exit code" "$rc" 5
  exe="$linked\\ravelwick.exe"
  run /import "$(winpath "$work/look.ini")"
  expect_eq "/import by a link exit code" "$rc" 5
  expect_eq "files changed" "$(fingerprint "$prog" "$host")" "$before"
  close_window
  rm -f "$drive" "$work/Linked"
}

mkdir -p "$work"
transfer_checks() {
  echo "== /export, then /import into a fresh program folder: the same option values"
  setup
  printf '[General]\r\nLanguage=English\r\nInstallFolder=%s\\\r\nHideHome=1\r\nSetMaxTabWidth=1\r\nMaxTabWidth=150\r\nFontFamily=Tahoma, Verdana\r\nHideStatusBar=1\r\n' \
    "$(winpath "$host")" >"$prog/settings.ini"
  local settings_before
  settings_before=$(sha256sum <"$prog/settings.ini")
  # A name relative to the folder the command is given in.
  (cd "$work" && run /export "Relative.ini")
  [ -s "$work/Relative.ini" ] || fail "/export with a relative name wrote nothing there"
  run /export "$(winpath "$work/Look ÄÖ.ini")"
  expect_eq "/export exit code" "$rc" 0
  expect_no_window /export
  [ "$(head -c 3 "$work/Look ÄÖ.ini" | od -An -tx1 | tr -d ' ')" == efbbbf ] || fail "export has no byte-order mark"
  expect_eq "settings.ini after /export" "$(sha256sum <"$prog/settings.ini")" "$settings_before"

  local fresh="$work/Fresh"
  rm -rf "$fresh"
  mkdir -p "$fresh"
  cp "$ravelwick" "$pak/unpak.exe" "$pak/makpak.exe" "$fresh/"
  cp -r "$source_dir/data/Languages" "$fresh/"
  printf '[General]\r\nHideRefresh=1\r\n' >"$fresh/settings.ini"
  local exported=$prog
  prog=$fresh
  run /import "$(winpath "$work/Look ÄÖ.ini")"
  expect_eq "/import exit code" "$rc" 0
  expect_no_window /import
  [ -s "$work/out" ] || fail "/import printed no report"
  local key value count=0
  for key in $(sed -e '1s/^\xEF\xBB\xBF//' "$work/Look ÄÖ.ini" | tr -d '\r' | sed -n 's/^\([A-Za-z]*\)=.*/\1/p'); do
    # The language is already this one, so nothing is stored for it; the
    # Aero status bar is stored, as OK stores it, only while the desktop is
    # composed, which it never is under Wine: its default holds.
    [ "$key" == Language ] && continue
    value=$(setting "$fresh/settings.ini" "$key")
    [ "$key" == AeroStatusBar ] && [ -z "$value" ] && value=0
    expect_eq "$key after the import" "$value" "$(setting "$work/Look ÄÖ.ini" "$key")"
    count=$((count + 1))
  done
  expect_eq "options carried" "$count" 43
  expect_eq "MaxTabWidth carried" "$(setting "$fresh/settings.ini" MaxTabWidth)" "$(setting "$exported/settings.ini" MaxTabWidth)"

  echo "== /import of a file that is no settings file: refused, settings.ini unchanged"
  head -c 4096 /dev/urandom >"$work/binary.ini"
  settings_before=$(sha256sum <"$fresh/settings.ini")
  run /import "$(winpath "$work/binary.ini")"
  expect_eq "/import of a binary file" "$rc" 2
  expect_eq "settings.ini after a refused import" "$(sha256sum <"$fresh/settings.ini")" "$settings_before"
}

# The tweak block of the installed modern skin, from its opening marker on.
installed_block() { inspect "$host/Bin/Resource.dat" && sed -n '/\/\*ravelwick\*\//,$p' "$work/inspect/ui/main/index.css"; }

checked_checks() {
  echo "== a shared file whose font size is style text: /import corrects and names it, /apply installs no rule of it"
  setup
  printf '[General]\r\nSetFont=1\r\nFontSize=1px}*{display:none!important}i{x:1px\r\nFontFamily="Tahoma"}b{x:1\r\n' \
    >"$work/shared.ini"
  run /import "$(winpath "$work/shared.ini")"
  expect_eq "/import exit code" "$rc" 0
  grep -qF 'FontSize: "1px}*{display:none!important}i{x:1px" -> "12px"' "$work/out" ||
    fail "the report does not name the correction: $(cat "$work/out")"
  run /apply /quiet
  expect_eq "/apply exit code" "$rc" 0
  local block
  block=$(installed_block)
  grep -qF '{font-size:12px;font-family:"Tahomabx:1"}' <<<"$block" || fail "no font rule of the checked values: $block"
  ! grep -qF '}i{' <<<"$block" || fail "the injected rule was installed: $block"
  close_host

  echo "== settings.ini read-only: /apply exits 2 with the system's words and installs nothing"
  sed -i 's/^HideHome=[^\r]*/HideHome=0/' "$prog/settings.ini"
  wine cmd /c attrib +r "$(winpath "$prog/settings.ini")" >/dev/null 2>&1
  [[ "$(stat -c %A "$prog/settings.ini")" != *w* ]] || fail "attrib +r left settings.ini writable"
  local before
  before=$(fingerprint "$host" "$prog/Resource")
  run /apply /quiet
  expect_eq "/apply exit code, read-only settings" "$rc" 2
  expect_one_line "reason" "$work/err" "could not save the options in .*settings.ini.*(error 5)"
  expect_eq "files changed" "$(fingerprint "$host" "$prog/Resource")" "$before"
  grep -q 'Archive installed: no: Ravelwick could not save' "$prog/ravelwick.log" || fail "the log does not say why"
  wine cmd /c attrib -r "$(winpath "$prog/settings.ini")" >/dev/null 2>&1
}

ownrules_checks() {
  echo "== own rules: /preview shows them, /apply installs them once, a refused file is told; /export and /import carry them"
  setup
  mkdir -p "$prog/Own rules"
  printf '\xEF\xBB\xBF.ownmark{color:red}\r\n' >"$prog/Own rules/main.css"
  printf '.refused{\n' >"$prog/Own rules/main.classic.css"
  run /preview
  expect_eq "/preview exit code" "$rc" 0
  grep -qF '== Own rules\main.css ==' "$work/out" || fail "the preview has no section for the own rules"
  grep -qF '.ownmark{color:red}' "$work/out" || fail "the preview does not show the own rules"
  grep -qF 'Own rules\main.classic.css, line 1' "$work/err" || fail "the refused file is not told: $(cat "$work/err")"
  run /apply
  expect_eq "/apply exit code" "$rc" 0
  inspect "$host/Bin/Resource.dat" || fail "the installed archive cannot be unpacked"
  expect_eq "own rules in the installed sheet" "$(grep -cF '.ownmark{color:red}' "$work/inspect/ui/main/index.css")" 1
  ! grep -qF '.refused' "$work/inspect/ui/main.classic/index.css" || fail "the refused file was installed"
  grep -qF "$rule" "$work/inspect/ui/main.classic/index.css" || fail "the tweaks were not installed beside the refused file"
  grep -q 'Own rules: Own rules\\main.css, 21 bytes, SHA-256 [0-9a-f]*, used' "$prog/ravelwick.log" || fail "the log does not name the own rules"
  close_host
  run /export "$(winpath "$work/Own.ini")"
  expect_eq "/export exit code" "$rc" 0
  local fresh="$work/FreshOwn"
  rm -rf "$fresh"
  mkdir -p "$fresh"
  cp "$ravelwick" "$pak/unpak.exe" "$pak/makpak.exe" "$fresh/"
  cp -r "$source_dir/data/Languages" "$fresh/"
  printf '[General]\r\nHideRefresh=1\r\n' >"$fresh/settings.ini"
  prog=$fresh
  run /import "$(winpath "$work/Own.ini")"
  expect_eq "/import exit code" "$rc" 0
  grep -qF '.ownmark{color:red}' "$fresh/Own rules/main.css" || fail "the import did not carry the own rules"
  [ ! -e "$fresh/Own rules/main.classic.css" ] || fail "the refused file travelled"
}

looks_checks() {
  echo "== /apply, /apply with other settings, /undo: the first archive byte for byte; /undo again: the second"
  setup
  run /apply /quiet
  expect_eq "/apply exit code" "$rc" 0
  close_host
  local first second
  first=$(sha256sum <"$host/Bin/Resource.dat")
  sed -i 's/^HideHome=[^\r]*/HideHome=0\r\nHideRefresh=1/' "$prog/settings.ini"
  run /apply /quiet
  expect_eq "second /apply exit code" "$rc" 0
  close_host
  second=$(sha256sum <"$host/Bin/Resource.dat")
  [ "$first" != "$second" ] || fail "other settings installed the same archive"
  run /undo /quiet
  expect_eq "/undo exit code" "$rc" 0
  expect_no_window /undo
  close_host
  expect_eq "archive after /undo" "$(sha256sum <"$host/Bin/Resource.dat")" "$first"
  run /undo /quiet
  expect_eq "second /undo exit code" "$rc" 0
  close_host
  expect_eq "archive after the second /undo" "$(sha256sum <"$host/Bin/Resource.dat")" "$second"

  echo "== /savelook NAME, other settings, /apply /look NAME: what the named settings install; /looks lists them"
  sed -i 's/^HideHome=[^\r]*/HideHome=1/; s/^HideRefresh=[^\r]*/HideRefresh=0/' "$prog/settings.ini"
  run /savelook "Été" /quiet
  expect_eq "/savelook exit code" "$rc" 0
  expect_one_line "/savelook" "$work/out" "Été"
  sed -i 's/^HideHome=[^\r]*/HideHome=0/' "$prog/settings.ini"
  run /apply /look "éTÉ" /quiet
  expect_eq "/apply /look exit code" "$rc" 0
  close_host
  expect_eq "archive of the named look" "$(sha256sum <"$host/Bin/Resource.dat")" "$first"
  run /looks
  expect_eq "/looks exit code" "$rc" 0
  expect_eq "history lines" "$(grep -c 'Maxthon 3.0.20.100$' "$work/out")" 6
  grep -q '^  Été  ' "$work/out" || fail "/looks does not list the named look: $(cat "$work/out")"
  rm -rf "$prog/Looks"
  run /undo /quiet
  expect_eq "/undo without looks" "$rc" 1
  expect_one_line "reason" "$work/err" "no earlier look"
}

case "$group" in
  ownrules) ownrules_checks ;;
  preview) preview_checks ;;
  unpack) unpack_checks ;;
  second) second_checks ;;
  help) help_checks ;;
  usage) usage_checks ;;
  nohost) nohost_checks ;;
  apply) apply_checks ;;
  force) force_checks ;;
  busy) busy_checks ;;
  noversion) noversion_checks ;;
  refuse) refuse_checks ;;
  restore) restore_checks ;;
  race) race_checks ;;
  kept) kept_checks ;;
  transfer) transfer_checks ;;
  checked) checked_checks ;;
  status) status_checks ;;
  spelling) spelling_checks ;;
  looks) looks_checks ;;
  *) fail "unknown group $group" ;;
esac
wineserver -k >/dev/null 2>&1
if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all command line end-to-end checks of $group passed"
