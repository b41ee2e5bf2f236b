#!/usr/bin/env bash
# Configures and builds one CMake preset, all of it or the targets named:
#   bash scripts/build.sh PRESET [TARGET ...]
# The test command, its stages and the run and release scripts all build
# through here.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
preset="$1"
shift
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]}"
