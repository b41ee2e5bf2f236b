#!/usr/bin/env bash
# The release packages. Without an argument it packs the mingw and ci builds
# the earlier stages made into a scratch folder; given a folder, it checks the
# packages scripts/release.sh wrote there. The zip (scripts/check_packages.py):
# its listing, every picture the guides show, the licences and the version
# resource of Velmora.exe. The .deb: its fields and dependencies, its files,
# links and desktop entry.
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

/usr/bin/python3 scripts/check_packages.py "$dir/Velmora-$version-win64.zip" "$version"

deb="$dir/velmora_${version}_amd64.deb"
fail() { echo "deb: $*" >&2; exit 1; }
[ "$(dpkg-deb --field "$deb" Package)" = velmora ] || fail "package name"
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "version"
[ "$(dpkg-deb --field "$deb" Architecture)" = amd64 ] || fail "architecture"
depends="$(dpkg-deb --field "$deb" Depends)"
for needed in libqt6widgets6 libqt6gui6 libxlsxwriter libdxflib qt6-qpa-plugins fonts-wqy-zenhei; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
# Paths and link targets, as "path" or "path -> target".
contents="$(dpkg-deb --contents "$deb" | sed -E 's/^([^ ]+ +){5}\.//')"
for needed in /usr/lib/velmora/velmora /usr/share/velmora/samples/piles.dxf \
  "/usr/bin/velmora -> ../lib/velmora/velmora" "/usr/lib/velmora/samples -> ../../share/velmora/samples" \
  /usr/share/applications/velmora.desktop /usr/share/icons/hicolor/64x64/apps/velmora.png \
  /usr/share/doc/velmora/使用说明.md /usr/share/doc/velmora/user-guide.md; do
  grep -qxF "$needed" <<<"$contents" || fail "no $needed"
done
paths="$(sed 's/ -> .*//; s:/$::' <<<"$contents")"
while IFS= read -r line; do
  link="${line%% -> *}" target="${line#* -> }"
  grep -qxF "$(realpath -m "$(dirname "$link")/$target")" <<<"$paths" ||
    fail "$link points to $target, which is not in the package"
done < <(grep -F ' -> ' <<<"$contents")
entry="$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/velmora.desktop)"
for needed in "Type=Application" "Name=Velmora 桩编号" "Exec=velmora %f" "Icon=velmora" "Terminal=false"; do
  grep -qxF "$needed" <<<"$entry" || fail "desktop entry lacks $needed"
done
echo "deb ok: $(wc -l <<<"$contents") entries, Depends: $depends"
