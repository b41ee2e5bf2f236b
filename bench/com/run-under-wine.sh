#!/usr/bin/env bash
# Builds and runs the COM benchmark under wine. Google Benchmark has no
# Windows build in Debian, so its Debian source package is fetched once and
# built with mingw-w64 alongside the benchmark. The source entries are the
# machine's own binary entries (same URIs, suites and components, as
# deb-src), kept in a private apt folder: the system's apt setup is not
# changed, and apt verifies the download as usual.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$root/build/mingw"
deps="$build/_deps"
source_dir="$deps/benchmark-src"
if [ ! -f "$source_dir/CMakeLists.txt" ]; then
  mkdir -p "$deps/apt/lists/partial"
  apt-get indextargets --format '$(TARGET_OF) $(REPO_URI) $(RELEASE) $(COMPONENT)' |
    awk '$1 == "deb" { print "deb-src " $2 " " $3 " " $4 }' | sort -u >"$deps/apt/sources.list"
  if [ ! -s "$deps/apt/sources.list" ]; then
    echo "run-under-wine.sh: apt has no package sources configured, so the benchmark library's" >&2
    echo "source package cannot be fetched. Add this machine's Debian sources to apt first." >&2
    exit 1
  fi
  apt_opts=(-o "Dir::Etc::SourceList=$deps/apt/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
            -o "Dir::State::Lists=$deps/apt/lists")
  # A source entry that has no sources (a third-party repository) only warns.
  apt-get "${apt_opts[@]}" update -qq || echo "run-under-wine.sh: some source entries could not be read" >&2
  if ! (cd "$deps" && apt-get "${apt_opts[@]}" source --download-only benchmark); then
    echo "run-under-wine.sh: no source package 'benchmark' in these entries:" >&2
    cat "$deps/apt/sources.list" >&2
    exit 1
  fi
  mkdir -p "$source_dir"
  tar -xzf "$deps"/benchmark_*.orig.tar.gz -C "$source_dir" --strip-components=1
fi
cd "$root"
cmake --preset mingw -DVELMORA_BENCHMARK_SOURCE="$source_dir"
cmake --build --preset mingw -j 2 --target velmora_com_bench
trap 'WINEPREFIX="$build/wineprefix" timeout 30 wineserver -k 2>/dev/null || true' EXIT
"$build/wine-run.sh" "$build/windows-bin/velmora_com_bench.exe" "$@"
