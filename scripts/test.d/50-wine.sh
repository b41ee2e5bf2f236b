#!/usr/bin/env bash
# The Windows program: cross-built with mingw-w64, its COM tests run under
# wine in a prefix under the build folder (created on first use).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cd "$root"
bash scripts/build.sh mingw
prefix="$root/build/mingw/wineprefix"
bash tests/wine/make-prefix.sh "$prefix"
# Stop the prefix's server and whatever still runs in it, however we leave.
trap 'WINEPREFIX="$prefix" timeout 30 wineserver -k 2>/dev/null || true' EXIT
ctest --preset mingw
