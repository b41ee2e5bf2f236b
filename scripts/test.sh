#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and
# runs every test: the main suite, then each extra stage in scripts/test.d/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
cmake --preset ci
cmake --build --preset ci -j "$(nproc)"
for stage in scripts/test.d/*.sh; do
  [ -e "$stage" ] || continue
  echo "== $(basename "$stage")"
  bash "$stage"
done
echo "== main suite"
ctest --preset ci -j "$(nproc)"
