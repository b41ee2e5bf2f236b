#!/usr/bin/env bash
# Shows Velmora.exe under wine on a virtual X display and saves a picture of
# it, with 宋体/SimSun replaced by WenQuanYi Zen Hei as the fonts a Chinese
# Windows has. The prefix (with the X driver) is kept beside the picture.
# Usage: [VELMORA_SCREENSHOT_DPI=144] screenshot-win32.sh <Velmora.exe> <picture.png>
set -euo pipefail
exe="$(realpath "$1")"
out="$(realpath -m "$2")"
mkdir -p "$(dirname "$out")"
export WINEPREFIX="$(dirname "$out")/screenshot-prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
quiet() { grep -v -e 'wine32 is missing' -e 'multiarch needs' -e 'dpkg --add-architecture' \
  -e 'apt-get install wine32' >&2 || true; }

if [ ! -f "$WINEPREFIX/.velmora-fonts" ]; then
  timeout 120 wineboot -i 2> >(quiet)
  reg="$(mktemp --suffix=.reg)"
  { printf '\xff\xfe'
    printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n%s\r\n%s\r\n' \
      '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
      '"SimSun"="WenQuanYi Zen Hei"' '"宋体"="WenQuanYi Zen Hei"' | iconv -f UTF-8 -t UTF-16LE
  } >"$reg"
  timeout 60 wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" 2> >(quiet)
  rm -f "$reg"
  timeout 60 wineserver -w || true
  touch "$WINEPREFIX/.velmora-fonts"
fi

# The screen's DPI: 96 unless VELMORA_SCREENSHOT_DPI says otherwise.
timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
  /d "${VELMORA_SCREENSHOT_DPI:-96}" /f >/dev/null 2> >(quiet)
timeout 60 wineserver -w || true

# A desktop window of wine's own draws the title bar without a window manager.
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  wine explorer /desktop=velmora,640x480 "$0" 2>/dev/null &
  sleep "${VELMORA_SCREENSHOT_WAIT:-8}"
  import -window root "$1"
  wineserver -k 2>/dev/null || true
' "$exe" "$out"
echo "$out"
