#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors
# (preset ci) and runs every test: first each extra stage in
# scripts/test.d/, in name order, then the main suite.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
# A bare system sets no locale; the tools then print Chinese file names escaped.
[ -n "${LANG:-}${LC_ALL:-}" ] || export LANG=C.UTF-8
bash scripts/install-deps.sh
bash scripts/build.sh ci
for stage in scripts/test.d/*.sh; do
  [ -e "$stage" ] || continue
  echo "== $(basename "$stage")"
  bash "$stage"
done
echo "== main suite"
ctest --preset ci -j "$(nproc)"
