#!/usr/bin/env bash
# No finding of clang-tidy's bug, performance and size checks
# (scripts/tidy.sh), over the builds the earlier stages made.
set -euo pipefail
exec bash "$(dirname "${BASH_SOURCE[0]}")/../tidy.sh"
