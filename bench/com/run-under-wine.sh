#!/usr/bin/env bash
# Builds and runs the COM benchmark under wine. Google Benchmark has no
# Windows build in Debian, so its Debian source package is fetched once
# (apt's own verification, no change to the system's apt setup) and built
# with mingw-w64 alongside the benchmark.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$root/build/mingw"
deps="$build/_deps"
source_dir="$deps/benchmark-src"
if [ ! -f "$source_dir/CMakeLists.txt" ]; then
  mkdir -p "$deps/apt/lists/partial"
  echo "deb-src http://deb.debian.org/debian bookworm main" >"$deps/apt/sources.list"
  apt_opts=(-o "Dir::Etc::SourceList=$deps/apt/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
            -o "Dir::State::Lists=$deps/apt/lists")
  apt-get "${apt_opts[@]}" update -qq
  (cd "$deps" && apt-get "${apt_opts[@]}" source --download-only benchmark)
  mkdir -p "$source_dir"
  tar -xzf "$deps"/benchmark_*.orig.tar.gz -C "$source_dir" --strip-components=1
fi
cd "$root"
cmake --preset mingw -DVELMORA_BENCHMARK_SOURCE="$source_dir"
cmake --build --preset mingw -j 2 --target velmora_com_bench
trap 'WINEPREFIX="$build/wineprefix" timeout 30 wineserver -k 2>/dev/null || true' EXIT
"$build/wine-run.sh" "$build/windows-bin/velmora_com_bench.exe" "$@"
