#!/usr/bin/env bash
# Screenshots of the main window under Wine, on a private Xvfb, into
# docs/screenshots: English and Chinese, for a usual host and for 3.0.15.300;
# the main window with its menu open, with the tip of a row, with a search
# and with each state of its header (also at 144 DPI), the preview window with its summary,
# the small window shown during a wait, the report of an import, the own
# rules editor with a check error and the Looks window.
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
Xvfb "$display" -screen 0 1920x1440x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
export DISPLAY="$display"

# A prefix of its own with a Wine desktop, so that the window has its title
# bar and icon (there is no window manager on the Xvfb); one per DPI.
make_prefix() {  # folder, dpi
  local prefix="$1" dpi="$2"
  [ -f "$prefix/system.reg" ] && return 0
  WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Shots /f >/dev/null 2>&1
  # Room for the window at its DPI.
  WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Shots \
    /d "$(case "$dpi" in 96) echo 1280x1024 ;; 192) echo 1900x1420 ;; *) echo 1600x1200 ;; esac)" /f >/dev/null 2>&1
  if [ "$dpi" != 96 ]; then
    WINEPREFIX="$prefix" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
      >/dev/null 2>&1
    WINEPREFIX="$prefix" wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
      /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  fi
  WINEPREFIX="$prefix" wineserver -w
  # Wine's own fonts (package fonts-wine): Marlett draws the caption
  # buttons, Tahoma stands in for Segoe UI as it does on older Windows, and
  # links to WenQuanYi Micro Hei for Chinese as Segoe UI links to YaHei.
  for font in marlett.ttf tahoma.ttf tahomabd.ttf; do
    cp "/usr/share/wine/fonts/$font" "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  done
  nt='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
  WINEPREFIX="$prefix" wine reg add "$nt\FontSubstitutes" /v "Segoe UI" /d Tahoma /f >/dev/null 2>&1
  WINEPREFIX="$prefix" wine reg add "$nt\FontLink\SystemLink" /v Tahoma /t REG_MULTI_SZ \
    /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1
  WINEPREFIX="$prefix" wineserver -w
}
use_dpi() {  # dpi
  if [ "$1" == 96 ]; then export RW_WINEPREFIX="$build/screenshot-prefix"; else
    export RW_WINEPREFIX="$build/screenshot-prefix-$1"; fi
  make_prefix "$RW_WINEPREFIX" "$1"
}
use_dpi 96

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
shot own-rules-english --own-rules
shot own-rules-chinese --language "Chinese Simplified" --own-rules
shot looks-english --looks
shot looks-chinese --language "Chinese Simplified" --looks
if [[ "$wanted" == *" export-dialog "* ]]; then shot export-dialog --export-dialog --seconds 20; fi

# The search, the tip with the details line, and the header's three states
# (the plain shots show the original interface), in both languages, at 96
# and at 144 DPI.
for dpi in 96 144; do
  use_dpi "$dpi"
  suffix=$([ "$dpi" == 96 ] || echo "-$dpi")
  for language in english chinese; do
    name=$([ "$language" == english ] && echo English || echo "Chinese Simplified")
    # English words in the Chinese window too: they find its rows as well
    # (and Wine's edit control draws no Chinese glyphs).
    words=$([ "$language" == english ] && echo "status bar" || echo "favorites")
    [ "$dpi" == 96 ] || shot "main-$language$suffix" --language "$name"
    [ "$language$dpi" == english96 ] || shot "main-tip-$language$suffix" --language "$name" --tip
    shot "main-find-$language$suffix" --language "$name" --find "$words"
    shot "main-header-installed-$language$suffix" --language "$name" --header installed
    shot "main-header-foreign-$language$suffix" --language "$name" --header foreign
  done
done

# At 120 and 192 DPI as well: every caption and field fits in both languages.
for dpi in 120 192; do
  use_dpi "$dpi"
  shot "main-english-$dpi"
  shot "main-chinese-$dpi" --language "Chinese Simplified"
done
