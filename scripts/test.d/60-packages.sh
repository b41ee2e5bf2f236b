#!/usr/bin/env bash
# The release packages. Without an argument it packs the mingw and ci builds
# the earlier stages made into a scratch folder; given a folder, it checks the
# packages scripts/release.sh wrote there. The zip: its listing, every picture
# the guides show, the licences and the version resource of Velmora.exe. The
# .deb: its fields and dependencies, its files, links and desktop entry.
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

/usr/bin/python3 - "$dir/Velmora-$version-win64.zip" "$version" <<'PY'
import re, struct, sys, zipfile
path, version = sys.argv[1], sys.argv[2]
top = f"Velmora-{version}-win64/"
z = zipfile.ZipFile(path)
names = set(n for n in z.namelist() if not n.endswith("/"))
problems = []
for name in ("Velmora.exe", "LICENSE.txt", "使用说明.md", "user-guide.md"):
    if top + name not in names:
        problems.append(f"missing {name}")
stray = [n for n in names if not n.startswith(top) or
         not re.fullmatch(r"(Velmora\.exe|LICENSE\.txt|使用说明\.md|user-guide\.md|images/[\w.-]+\.png)",
                          n[len(top):])]
problems += [f"unexpected {n}" for n in stray]
for guide in ("使用说明.md", "user-guide.md"):
    if top + guide in names:
        for link in re.findall(r"\]\((images/[^)]+)\)", z.read(top + guide).decode()):
            if top + link not in names:
                problems.append(f"{guide} shows {link}, which is not in the zip")
if top + "LICENSE.txt" in names:
    notice = z.read(top + "LICENSE.txt").decode(errors="replace")
    for needed in ("GCC RUNTIME LIBRARY EXCEPTION", "winpthreads", "mingw-w64"):
        if needed not in notice:
            problems.append(f"LICENSE.txt lacks {needed!r}")
if top + "Velmora.exe" in names:
    exe = z.read(top + "Velmora.exe")
    # VS_FIXEDFILEINFO: signature, struct version, file and product version (MS, LS each).
    at = exe.find(struct.pack("<I", 0xFEEF04BD))
    want = tuple(int(p) for p in version.split(".")) + (0,)
    if at < 0:
        problems.append("Velmora.exe has no version resource")
    else:
        fms, fls, pms, pls = struct.unpack_from("<4I", exe, at + 8)
        for what, ms, ls in (("file", fms, fls), ("product", pms, pls)):
            got = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
            if got != want:
                problems.append(f"Velmora.exe {what} version {got}, expected {want}")
    for key in ("FileVersion", "ProductVersion"):
        text = (key + "\0").encode("utf-16-le")
        at = exe.find(text)
        value = exe[at + len(text):].split(b"\0\0\0")[0].lstrip(b"\0") + b"\0"
        if at < 0 or value.decode("utf-16-le").rstrip("\0") != version:
            problems.append(f"Velmora.exe {key} string is not {version}")
if problems:
    sys.exit("zip: " + "; ".join(problems))
print(f"zip ok: {len(names)} files, Velmora.exe {version}")
PY

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
