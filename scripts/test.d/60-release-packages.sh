#!/usr/bin/env bash
# The release packages. Without an argument it packs the mingw and ci builds
# the earlier stages made into a scratch folder; given a folder, it checks the
# packages scripts/release.sh wrote there. scripts/check_release_packages.py does the
# checking: the zip's and the .deb's contents, that the changelog, the
# AppStream metainfo and the manual pages name the project's version, and
# what lintian, appstreamcli, desktop-file-validate and man --warnings say.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cd "$root"
version="$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
if [ $# -gt 0 ]; then
  dir="$(realpath "$1")"
else
  dir="$(mktemp -d)"
  trap 'rm -rf "$dir"' EXIT
  for build in mingw ci; do
    (cd "build/$build" && cpack -B "$dir" >/dev/null)
  done
fi
/usr/bin/python3 scripts/check_release_packages.py "$dir" "$version"
