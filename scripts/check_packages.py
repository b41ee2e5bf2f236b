#!/usr/bin/python3
"""Checks the Windows zip (scripts/test.d/60-packages.sh): its listing, every
picture the guides show, the licences and the version resource of
Velmora.exe. Usage: check_packages.py <zip> <version>
"""
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
