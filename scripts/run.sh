#!/usr/bin/env bash
# Installs what is missing, builds the program and starts Velmora with its
# stand-in AutoCAD and Excel. Without a display it runs under a virtual one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh dev velmora
program="$root/build/dev/programs/linux/velmora"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): starting Velmora under xvfb-run." >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$program" "$@"
fi
exec "$program" "$@"
