#!/usr/bin/env bash
# No function over the size and complexity limits (scripts/tidy.sh), over the
# builds the earlier stages made.
set -euo pipefail
exec bash "$(dirname "${BASH_SOURCE[0]}")/../tidy.sh"
