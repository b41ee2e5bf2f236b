#!/usr/bin/env bash
# Installs what is missing, builds Velmora.exe (preset mingw) and the Linux
# program (preset ci), and writes the release packages with CPack into
# build/release/: Velmora-<version>-win64.zip, velmora_<version>_amd64.deb
# and SHA256SUMS for both, then checks them (scripts/test.d/60-release-packages.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
out="$root/build/release"
mkdir -p "$out"
# The programs and what the packages make from the repository's texts.
bash scripts/build.sh mingw Velmora velmora_package_files
bash scripts/build.sh ci velmora velmora_package_files
version="$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
packages=("Velmora-$version-win64.zip" "velmora_${version}_amd64.deb")
rm -rf "$out/cpack" "${packages[@]/#/$out/}" "$out/SHA256SUMS"
(cd build/mingw && cpack -B "$out/cpack")
(cd build/ci && cpack -B "$out/cpack")
mv "${packages[@]/#/$out/cpack/}" "$out/"
rm -rf "$out/cpack"
(cd "$out" && sha256sum "${packages[@]}" >SHA256SUMS && cat SHA256SUMS && ls -l "${packages[@]}")
bash scripts/test.d/60-release-packages.sh "$out"
