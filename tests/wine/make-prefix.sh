#!/usr/bin/env bash
# Creates the wine prefix the Windows tests run in, once: a 64-bit prefix
# with the null graphics driver, so windows work without a display.
# Usage: make-prefix.sh <prefix dir>. Safe to run concurrently and again.
set -euo pipefail
prefix="$1"
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.velmora-ready" ]; then exit 0; fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
quiet() { grep -v -e 'wine32 is missing' -e 'multiarch needs' -e 'dpkg --add-architecture' \
  -e 'apt-get install wine32' >&2 || true; }
timeout 120 wineboot -i 2> >(quiet)
timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2> >(quiet)
timeout 60 wineserver -w || true
touch "$prefix/.velmora-ready"
