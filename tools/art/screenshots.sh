#!/usr/bin/env bash
# Screenshots of the main window under Wine, on a private Xvfb, into
# docs/screenshots: English and Chinese, for a usual host and for 3.0.15.300;
# the main window with its menu open and with the tip of a row, the preview window with its summary,
# the small window shown during a wait, the report of an import and the Looks window.
#
#   tools/art/screenshots.sh build/<name>-win [NAME...]
#
# With names, only those screenshots are taken (e.g. preview main-menu); the
# Save dialog of an export (export-dialog) is taken only so.
set -eu
build=$(cd "$1" && pwd)
shift
wanted=" $* "
root=$(cd "$(dirname "$0")/../.." && pwd)
preview="$build/tools/ui_preview/ui_preview.exe"
out="$root/docs/screenshots"
mkdir -p "$out"

display=":$((150 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
export DISPLAY="$display"

# A prefix of its own with a Wine desktop, so that the window has its title
# bar and icon (there is no window manager on the Xvfb).
export RW_WINEPREFIX="$build/screenshot-prefix"
if [ ! -f "$RW_WINEPREFIX/system.reg" ]; then
  WINEPREFIX="$RW_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  WINEPREFIX="$RW_WINEPREFIX" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Shots /f >/dev/null 2>&1
  WINEPREFIX="$RW_WINEPREFIX" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Shots /d 1280x1024 /f \
    >/dev/null 2>&1
  WINEPREFIX="$RW_WINEPREFIX" wineserver -w
  # Wine's own fonts (package fonts-wine): Marlett draws the caption
  # buttons, Tahoma stands in for Segoe UI as it does on older Windows, and
  # links to WenQuanYi Micro Hei for Chinese as Segoe UI links to YaHei.
  for font in marlett.ttf tahoma.ttf tahomabd.ttf; do
    cp "/usr/share/wine/fonts/$font" "$RW_WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  done
  nt='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
  WINEPREFIX="$RW_WINEPREFIX" wine reg add "$nt\FontSubstitutes" /v "Segoe UI" /d Tahoma /f >/dev/null 2>&1
  WINEPREFIX="$RW_WINEPREFIX" wine reg add "$nt\FontLink\SystemLink" /v Tahoma /t REG_MULTI_SZ \
    /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1
  WINEPREFIX="$RW_WINEPREFIX" wineserver -w
fi

shot() {  # name, then the preview's arguments
  local name="$1"
  shift
  [ "$wanted" == "  " ] || [[ "$wanted" == *" $name "* ]] || return 0
  local rect="$build/preview-rect.txt"
  : >"$rect"
  "$root/cmake/wine-run.sh" "$preview" --seconds 8 "$@" >"$rect" 2>/dev/null &
  local run=$!
  for _ in $(seq 100); do
    [ -s "$rect" ] && break
    sleep 0.2
  done
  sleep 2  # let it paint
  read -r left top width height <"$rect"
  import -window root -crop "${width}x${height}+${left}+${top}" +repage "$out/$name.png"
  wait "$run" || true
  echo "$out/$name.png"
}

shot main-english
shot main-english-3.0.15.300 --single-skin-host
shot main-chinese --language "Chinese Simplified"
shot main-chinese-3.0.15.300 --language "Chinese Simplified" --single-skin-host
shot main-menu --menu
shot main-tip --tip
shot preview --preview
shot progress --progress
shot import-report-english --import-report --seconds 20
shot import-report-chinese --language "Chinese Simplified" --import-report --seconds 20
shot looks-english --looks
shot looks-chinese --language "Chinese Simplified" --looks
if [[ "$wanted" == *" export-dialog "* ]]; then shot export-dialog --export-dialog --seconds 20; fi
