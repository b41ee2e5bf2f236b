#!/usr/bin/python3
"""Checks the release packages in a folder (scripts/test.d/60-release-packages.sh).

Usage: check_release_packages.py <folder> <version>, run from the repository's root;
<version> is the one of project(Velmora VERSION ...) in CMakeLists.txt.

The zip: its listing, every picture the guides show, the licences, the list
of changes and the version resource of Velmora.exe. The .deb: its fields and
dependencies, its files and links, the copyright file (LICENSE itself), the
changelog, the manual pages, the desktop entry, the AppStream metainfo and
the icons; the version and date of the changelog's top entry, the metainfo's
newest release and the manual pages' headers agree with <version>; then
desktop-file-validate, appstreamcli, man --warnings and lintian, which must
report no error and no warning.
"""
import gzip
import os
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

APP_ID = "org.example.velmora"
ICON_SIZES = (64, 128, 256)
RELEASE = re.compile(r"^## (\S+) - (\d{4}-\d{2}-\d{2})$", re.M)


def read(path, mode="r"):
    with open(path, mode, **({} if "b" in mode else {"encoding": "utf-8"})) as f:
        return f.read()


class Problems(list):
    def check(self, ok, text):
        if not ok:
            self.append(text)
        return ok

    def end(self, what, summary):
        if self:
            sys.exit(f"{what}: " + "; ".join(self))
        print(f"{what} ok: {summary}")


def upstream_contact(licence):
    found = re.search(r"^Upstream-Contact: (.+)$", licence, re.M)
    return found[1] if found else None


def top_release():
    """(version, date) of CHANGELOG.md's first release heading."""
    found = RELEASE.search(read("CHANGELOG.md"))
    return (found[1], found[2]) if found else (None, None)


def check_exe_version(exe, version, problems):
    # VS_FIXEDFILEINFO: signature, struct version, file and product version (MS, LS each).
    at = exe.find(struct.pack("<I", 0xFEEF04BD))
    want = tuple(int(p) for p in version.split(".")) + (0,)
    if not problems.check(at >= 0, "Velmora.exe has no version resource"):
        return
    fms, fls, pms, pls = struct.unpack_from("<4I", exe, at + 8)
    for what, ms, ls in (("file", fms, fls), ("product", pms, pls)):
        got = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        problems.check(got == want, f"Velmora.exe {what} version {got}, expected {want}")
    for key in ("FileVersion", "ProductVersion"):
        text = (key + "\0").encode("utf-16-le")
        at = exe.find(text)
        value = exe[at + len(text):].split(b"\0\0\0")[0].lstrip(b"\0") + b"\0"
        problems.check(at >= 0 and value.decode("utf-16-le").rstrip("\0") == version,
                       f"Velmora.exe {key} string is not {version}")


def check_zip(path, version):
    top = f"Velmora-{version}-win64/"
    z = zipfile.ZipFile(path)
    names = set(n for n in z.namelist() if not n.endswith("/"))
    problems = Problems()
    fixed = ("Velmora.exe", "LICENSE.txt", "CHANGELOG.txt", "使用说明.md", "user-guide.md")
    for name in fixed:
        problems.check(top + name in names, f"missing {name}")
    pattern = "|".join(re.escape(n) for n in fixed) + r"|images/[\w.-]+\.png"
    for name in sorted(names):
        problems.check(name.startswith(top) and re.fullmatch(pattern, name[len(top):]),
                       f"unexpected {name}")
    for guide in ("使用说明.md", "user-guide.md"):
        if top + guide in names:
            for link in re.findall(r"\]\((images/[^)]+)\)", z.read(top + guide).decode()):
                problems.check(top + link in names, f"{guide} shows {link}, which is not in the zip")
    # The texts for Windows: LF turned into CRLF, nothing else changed.
    windows = {}
    for name in ("LICENSE.txt", "CHANGELOG.txt"):
        if top + name in names:
            data = z.read(top + name).decode("utf-8")
            problems.check(data.count("\n") == data.count("\r\n"), f"{name} has lines not ending in CRLF")
            windows[name] = data.replace("\r\n", "\n")
    if "LICENSE.txt" in windows:
        notice = windows["LICENSE.txt"]
        problems.check(notice.startswith(read("LICENSE")), "LICENSE.txt does not begin with LICENSE")
        for needed in ("GCC RUNTIME LIBRARY EXCEPTION", "winpthreads", "mingw-w64"):
            problems.check(needed in notice, f"LICENSE.txt lacks {needed!r}")
    if "CHANGELOG.txt" in windows:
        problems.check(windows["CHANGELOG.txt"] == read("CHANGELOG.md"), "CHANGELOG.txt is not CHANGELOG.md")
    if top + "Velmora.exe" in names:
        check_exe_version(z.read(top + "Velmora.exe"), version, problems)
    problems.end("zip", f"{len(names)} files, Velmora.exe {version}")


def deb_tree(deb, root):
    """Unpacks the .deb into root; {path: link target or None} of every entry."""
    subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
    entries = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            full = os.path.join(folder, name)
            path = "/" + os.path.relpath(full, root)
            entries[path] = os.readlink(full) if os.path.islink(full) else None
    return entries


def field(deb, name):
    return subprocess.run(["dpkg-deb", "--field", deb, name], check=True,
                          capture_output=True, text=True).stdout.strip()


def man_header(page):
    """(date, source) of a manual page's .TH line."""
    for line in page.splitlines():
        if line.startswith(".TH "):
            words = re.findall(r'"([^"]*)"|(\S+)', line[4:])
            words = [a or b for a, b in words]
            return (words[2], words[3]) if len(words) >= 4 else (None, None)
    return (None, None)


def run(command, problems, what, stderr_is_problem=True):
    """Runs a checker and prints what it says. Its failure is a problem, and
    so is anything on stderr unless stderr_is_problem is False."""
    done = subprocess.run(command, capture_output=True, text=True)
    said = (done.stdout + done.stderr).strip()
    print(f"== {what}" + (":\n  " + said.replace("\n", "\n  ") if said else ": nothing to report"))
    problems.check(done.returncode == 0 and not (stderr_is_problem and done.stderr.strip()),
                   f"{what} reports problems (exit status {done.returncode})")
    return said


MAN_PAGES = ("/usr/share/man/man1/velmora.1.gz", "/usr/share/man/zh_CN/man1/velmora.1.gz")
DOC = "/usr/share/doc/velmora/"
DESKTOP = f"/usr/share/applications/{APP_ID}.desktop"
METAINFO = f"/usr/share/metainfo/{APP_ID}.metainfo.xml"
ICONS = {size: f"/usr/share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png" for size in ICON_SIZES}
# Every path the .deb must hold: None for a file or folder, else the link's target.
NEEDED = {
    "/usr/lib/velmora/velmora": None, "/usr/share/velmora/samples/piles.dxf": None,
    "/usr/bin/velmora": "../lib/velmora/velmora",
    "/usr/lib/velmora/samples": "../../share/velmora/samples",
    DESKTOP: None, METAINFO: None, DOC + "copyright": None, DOC + "changelog.gz": None,
    DOC + "使用说明.md": None, DOC + "user-guide.md": None,
    **{page: None for page in MAN_PAGES}, **{icon: None for icon in ICONS.values()},
}


class Deb:
    """The .deb unpacked, with what the repository says it must agree with."""

    def __init__(self, path, root, version):
        self.path, self.root, self.version = path, root, version
        self.licence = read("LICENSE")
        self.maintainer = upstream_contact(self.licence)
        self.release_version, self.release_date = top_release()
        self.entries = deb_tree(path, root)
        self.problems = Problems()

    def has(self, path):
        return path in self.entries

    def text(self, path):
        data = read(self.root + path, "rb")
        return (gzip.decompress(data) if path.endswith(".gz") else data).decode("utf-8")


def check_fields(deb):
    check = deb.problems.check
    check(deb.release_version == deb.version,
          f"CHANGELOG.md's top release is {deb.release_version}, CMakeLists.txt says {deb.version}")
    for name, want in (("Package", "velmora"), ("Version", deb.version), ("Architecture", "amd64"),
                       ("Maintainer", deb.maintainer)):
        got = field(deb.path, name)
        check(got == want, f"{name} is {got!r}, expected {want!r}")
    depends = field(deb.path, "Depends")
    for needed in ("libqt6widgets6", "libqt6gui6", "libxlsxwriter", "qt6-qpa-plugins", "fonts-wqy-zenhei"):
        check(needed in depends, f"Depends lacks {needed}: {depends}")
    return depends


def check_paths(deb):
    check = deb.problems.check
    for path, target in NEEDED.items():
        if check(deb.has(path), f"no {path}"):
            check(deb.entries[path] == target, f"{path} -> {deb.entries[path]}, expected {target}")
    for path, target in deb.entries.items():
        if target is not None:
            check(os.path.normpath(os.path.join(os.path.dirname(path), target)) in deb.entries,
                  f"{path} points to {target}, which is not in the package")


def check_texts(deb):
    """The copyright file, the changelog and the manual pages."""
    check = deb.problems.check
    if deb.has(DOC + "copyright"):
        check(deb.text(DOC + "copyright") == deb.licence, "the copyright file is not LICENSE")
    if deb.has(DOC + "changelog.gz"):
        changelog = deb.text(DOC + "changelog.gz")
        head = re.match(r"velmora \((\S+)\) ", changelog)
        check(head and head[1] == deb.version,
              f"the changelog's top entry is {head and head[1]}, expected {deb.version}")
        trailer = re.search(r"^ -- (.+?)  (.+)$", changelog, re.M)
        check(trailer and trailer[1] == deb.maintainer,
              f"the changelog's top entry is signed {trailer and trailer[1]}")
    for page in filter(deb.has, MAN_PAGES):
        date, source = man_header(deb.text(page))
        check(source == f"Velmora {deb.version}", f"{page}'s header says {source!r}")
        check(date == deb.release_date, f"{page}'s date {date}, the release's {deb.release_date}")


def check_desktop(deb):
    """The desktop entry, the AppStream metainfo and the icons."""
    check = deb.problems.check
    if deb.has(DESKTOP):
        entry = deb.text(DESKTOP).splitlines()
        for line in ("Type=Application", "Name=Velmora 桩编号", "Exec=velmora %f",
                     f"Icon={APP_ID}", "Terminal=false", "StartupWMClass=velmora"):
            check(line in entry, f"desktop entry lacks {line}")
    if deb.has(METAINFO):
        component = ET.parse(deb.root + METAINFO).getroot()
        check(component.findtext("id") == APP_ID, f"metainfo id is {component.findtext('id')}")
        check(component.findtext("launchable") == f"{APP_ID}.desktop",
              f"metainfo launches {component.findtext('launchable')}")
        contact = component.findtext("update_contact")
        check(f"<{contact}>" in deb.maintainer, f"metainfo's contact {contact} is not {deb.maintainer}")
        releases = component.findall("releases/release")
        newest = (releases[0].get("version"), releases[0].get("date")) if releases else None
        want = (deb.version, deb.release_date)
        check(newest == want, f"metainfo's newest release is {newest}, expected {want}")
    for size, icon in ICONS.items():
        if deb.has(icon):
            png = read(deb.root + icon, "rb")
            check(png[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", png[16:24]) == (size, size),
                  f"{icon} is not a {size} px PNG")


def check_with_tools(deb):
    """What Debian's own tools say: nothing but info or pedantic notes."""
    problems = deb.problems
    if deb.has(DESKTOP):
        run(["desktop-file-validate", deb.root + DESKTOP], problems, f"desktop-file-validate {DESKTOP}")
    if deb.has(METAINFO):
        run(["appstreamcli", "validate", "--no-net", deb.root + METAINFO], problems,
            f"appstreamcli validate --no-net {METAINFO}")
        # The metainfo with the desktop entry and the icons it names.
        run(["appstreamcli", "validate-tree", "--no-net", deb.root], problems,
            "appstreamcli validate-tree --no-net (the unpacked .deb)")
    for page in filter(deb.has, MAN_PAGES):
        # As lintian renders manual pages.
        done = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", deb.root + page],
                              capture_output=True, text=True, env=dict(os.environ, MANWIDTH="80"))
        said = done.stderr.strip()
        print(f"== man --warnings -l {page}: " + (said or "nothing to report"))
        problems.check(done.returncode == 0 and not said, f"man --warnings on {page}: {said}")
    said = run(["lintian", "--tag-display-limit", "0", "--display-info", "--display-experimental",
                "--pedantic", "--fail-on", "error,warning", deb.path], problems,
               f"lintian {os.path.basename(deb.path)}", stderr_is_problem=False)
    problems.check(not re.search(r"^[EW]: ", said, re.M), "lintian reports errors or warnings")


def check_deb(path, version):
    with tempfile.TemporaryDirectory() as root:
        deb = Deb(path, root, version)
        depends = check_fields(deb)
        check_paths(deb)
        check_texts(deb)
        check_desktop(deb)
        check_with_tools(deb)
    deb.problems.end("deb", f"{len(deb.entries)} entries, Depends: {depends}")


def main():
    folder, version = sys.argv[1], sys.argv[2]
    check_zip(os.path.join(folder, f"Velmora-{version}-win64.zip"), version)
    check_deb(os.path.join(folder, f"velmora_{version}_amd64.deb"), version)


if __name__ == "__main__":
    main()
