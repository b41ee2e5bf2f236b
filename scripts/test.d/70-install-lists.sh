#!/usr/bin/env bash
# The install lists are complete: every Debian package whose files the
# builds, the tests and the release read is named in scripts/packages.d/ or
# pulled in by a package named there (scripts/check_install_lists.py says
# what it collects and how). Fails naming each missing package and a file
# that needs it. A fresh machine's first run is checked by
# scripts/check-fresh-debian.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
exec /usr/bin/python3 "$root/scripts/check_install_lists.py" "$@"
