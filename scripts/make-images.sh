#!/usr/bin/env bash
# Makes again every picture of the user guide, into docs/images/ (for
# developers; CI does not need it). Builds Velmora.exe and the Linux program,
# then: the Win32 window under wine at 96 and 144 DPI (scripts/screenshot-win32.sh),
# the Linux program while picking and after numbering (Xvfb with openbox,
# driven by xdotool, captured with import), the exported table rendered
# by LibreOffice, and the extra menu: the menu, a block sample in force, a
# stake-out .dat opened as text. Installs its own extras (openbox, xdotool, optipng,
# LibreOffice Calc, poppler-utils) when they are missing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
images="$root/docs/images"
work="$root/build/images"

if [ "${1:-}" = --linux-session ]; then
  # Runs inside xvfb-run: the walk through the guide shows, one picture a step.
  export HOME="$work/home" PATH="$work/bin:$PATH"
  mkdir -p "$HOME/Documents"
  openbox 2>/dev/null &
  sleep 1
  build/ci/programs/linux/velmora samples/piles.dxf 2>/dev/null &
  program=$!
  trap 'kill "$program" 2>/dev/null || true' EXIT
  v="$(xdotool search --sync --name '^Velmora$' | tail -1)"
  c="$(xdotool search --sync --name '^AutoCAD' | tail -1)"
  sleep 1
  xdotool windowmove "$c" 0 0 windowmove "$v" 906 0
  sleep 1
  # Settings, at 96 DPI (a twip is 1/15 pixel): prefix Z, text height 1.5,
  # labels 2 units north of their piles.
  type() { xdotool mousemove --window "$v" "$1" "$2" click 1 type --delay 50 "$3"; }
  type 292 33 1.5     # 文字高度
  type 292 83 Z       # 编号前缀
  type 108 195 2      # 偏距
  xdotool mousemove --window "$v" 48 236 click 1   # 编号
  sleep 2
  # A window around the point piles, dragged left to right.
  xdotool mousemove --window "$c" 330 360 mousedown 1 mousemove --window "$c" 500 430 \
    sleep 0.3 mousemove --window "$c" 655 505
  sleep 0.5
  import -window root "$work/linux-picking.png"
  xdotool mouseup 1 sleep 0.5 key Return sleep 1 key Return
  sleep 1.5
  import -window root "$work/linux-numbered.png"
  xdotool mousemove --window "$v" 180 236 click 1  # 导出桩坐标
  for _ in $(seq 20); do [ -s "$work/table.xlsx" ] && break; sleep 0.5; done
  [ -s "$work/table.xlsx" ]
  exit 0
fi

if [ "${1:-}" = --extras-session ]; then
  # The extra menu on ezdxf's drawing of block piles: a sample picked, one
  # pass numbered with it, the stake-out file written to the documents.
  export HOME="$work/home-extras" PATH="$work/bin:$PATH"
  mkdir -p "$HOME/Documents"
  cd "$HOME/Documents"
  openbox 2>/dev/null &
  sleep 1
  "$root/build/ci/src/app/qt/velmora" "$work/blocks.dxf" 2>/dev/null &
  program=$!
  trap 'kill "$program" 2>/dev/null || true' EXIT
  v="$(xdotool search --sync --name '^Velmora$' | tail -1)"
  c="$(xdotool search --sync --name '^AutoCAD' | tail -1)"
  sleep 1
  xdotool windowmove "$c" 0 0 windowmove "$v" 906 0
  sleep 1
  type() { xdotool mousemove --window "$v" "$1" "$2" click 1 type --delay 50 "$3"; }
  type 292 33 0.8     # 文字高度
  type 292 83 桩      # 编号前缀
  type 108 195 1.2    # 偏距
  menu() { xdotool mousemove --window "$v" 190 34 click 3 sleep 1; }
  menu
  import -window root "$work/extras-menu-screen.png"
  xdotool key Down Return sleep 1.5
  # The sample: the first ZH-1 of the maximised drawing (its bottom row).
  xdotool mousemove 324 578 click 1 sleep 1
  menu
  import -window root "$work/extras-sample-menu-screen.png"
  xdotool key Escape sleep 0.5
  xdotool mousemove --window "$v" 48 236 click 1   # 编号
  sleep 1.5
  xdotool mousemove 250 320 mousedown 1 mousemove 500 450 sleep 0.3 mousemove 1050 640
  sleep 0.5
  xdotool mouseup 1 sleep 0.5 key Return sleep 1
  import -window root "$work/extras-sample.png"
  xdotool key Return sleep 1
  menu
  xdotool key Down Down Return   # 导出测量坐标…: the suggested 桩坐标.dat
  xdotool search --sync --name '^导出测量坐标$' >/dev/null
  sleep 1
  xdotool key Return
  for _ in $(seq 20); do [ -s "$HOME/Documents/桩坐标.dat" ] && break; sleep 0.5; done
  sleep 1
  xdotool key Return sleep 0.5
  cp "$HOME/Documents/桩坐标.dat" "$work/stake-out.dat"
  exit 0
fi

need=()
for tool in openbox:openbox xdotool:xdotool optipng:optipng pdftoppm:poppler-utils \
  soffice:libreoffice-calc-nogui; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool#*:}")
done
bash scripts/install-deps.sh
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)" --target Velmora
cmake --preset ci >/dev/null
cmake --build --preset ci -j "$(nproc)" --target velmora
rm -rf "$work" && mkdir -p "$work/bin" "$images"

# The Windows window: the desktop wine draws is cut away around it.
for dpi in 96 144; do
  VELMORA_SCREENSHOT_DPI=$dpi bash scripts/screenshot-win32.sh build/mingw/Velmora.exe \
    "$work/win32-$dpi-screen.png" >/dev/null
  convert "$work/win32-$dpi-screen.png" -crop 640x480+0+0 +repage -bordercolor \
    "$(convert "$work/win32-$dpi-screen.png" -format '%[pixel:p{639,479}]' info:)" -border 1 \
    -trim +repage "$work/win32-$dpi.png"
done

# The Linux program; the stand-in Excel "opens" its workbook by copying it here.
printf '#!/bin/sh\ncp "$1" "%s/table.xlsx"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
xvfb-run -a -s "-screen 0 1300x700x24" bash "$0" --linux-session
/usr/bin/python3 tests/standin_dxf/ezdxf_tool.py piles R2018 ANSI_1252 "$work/blocks.dxf"
xvfb-run -a -s "-screen 0 1300x700x24" bash "$0" --extras-session
# The menus beside the window they belong to; the .dat as a text editor
# shows it, from GBK.
convert "$work/extras-menu-screen.png" -crop 400x290+902+0 +repage "$work/extras-menu.png"
convert "$work/extras-sample-menu-screen.png" -crop 400x290+902+0 +repage "$work/extras-sample-menu.png"
convert -background white -fill black -font /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc \
  -pointsize 16 label:"$(iconv -f GBK -t UTF-8 "$work/stake-out.dat" | tr -d '\r')" \
  -bordercolor white -border 14 -bordercolor '#888888' -border 1 "$work/stake-out-dat.png"

# The exported table as LibreOffice prints it: the title and the first rows.
# Excel fits the title's row to its 20-point font when the font is set; the
# workbook file keeps the row at 15 points, so the picture gives it the
# height Excel shows.
/usr/bin/python3 - "$work/table.xlsx" "$work/table-shown.xlsx" <<'PY'
import sys, zipfile
source, target = zipfile.ZipFile(sys.argv[1]), zipfile.ZipFile(sys.argv[2], "w", zipfile.ZIP_DEFLATED)
for item in source.infolist():
    data = source.read(item)
    if item.filename == "xl/worksheets/sheet1.xml":
        data = data.replace(b'<row r="1" spans="1:4" ht="15"', b'<row r="1" spans="1:4" ht="27"')
    target.writestr(item, data)
target.close()
PY
(cd "$work" && HOME="$work/home" timeout 120 soffice --headless --convert-to pdf table-shown.xlsx >/dev/null)
pdftoppm -png -r 96 -singlefile "$work/table-shown.pdf" "$work/table"
convert "$work/table.png" -trim +repage -crop x420+0+0 +repage -bordercolor white -border 12 \
  "$work/table-cut.png"

cp "$work/win32-96.png" "$images/window-win32-96dpi.png"
cp "$work/win32-144.png" "$images/window-win32-144dpi.png"
cp "$work/linux-picking.png" "$images/linux-picking.png"
cp "$work/linux-numbered.png" "$images/linux-numbered.png"
cp "$work/table-cut.png" "$images/table.png"
for picture in extras-menu extras-sample-menu extras-sample stake-out-dat; do
  cp "$work/$picture.png" "$images/$picture.png"
done
optipng -quiet -o2 -strip all "$images"/*.png
ls -l "$images"
