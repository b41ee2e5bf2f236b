#!/usr/bin/env python3
"""Turns the repository's texts into the forms the packages carry.

  package_texts.py changelog CHANGELOG.md "Name <address>" changelog.gz
      CHANGELOG.md as a Debian changelog of a native package, gzipped.
  package_texts.py gzip page.1 page.1.gz
      A manual page (or any text) gzipped as Debian wants it: best
      compression, no file name, no time stamp.
  package_texts.py windows out.txt first.txt [more.txt ...]
      The files one after another with Windows line ends (CRLF), so that
      Notepad on Windows 7 shows their lines too.

CHANGELOG.md's form: "## <version> - <YYYY-MM-DD>" starts a release; under it
each "- " item (its lines indented below it) and each plain paragraph becomes
one entry; inline Markdown (`code`, **bold**) loses its marks.
"""
import datetime
import gzip
import re
import sys
import unicodedata

RELEASE = re.compile(r"^## (\S+) - (\d{4}-\d{2}-\d{2})$")


def entries(lines):
    """A release's text as entries: each "- " item, each plain paragraph."""
    found = []
    fresh = True  # after a blank line a new entry begins
    for line in lines:
        if not line.strip():
            fresh = True
        elif fresh or line.startswith("- "):
            found.append(line.removeprefix("- ").strip())
            fresh = False
        else:
            found[-1] += " " + line.strip()
    return found


def releases(markdown):
    """[(version, date, [entry text, ...]), ...] in the file's order."""
    found = []
    lines = None
    for line in markdown.splitlines():
        heading = RELEASE.match(line)
        if heading:
            lines = []
            found.append((heading[1], datetime.date.fromisoformat(heading[2]), lines))
        elif line.startswith("#"):
            lines = None  # a heading of another kind ends the release's text
        elif lines is not None:
            lines.append(line)
    if not found:
        sys.exit("CHANGELOG.md holds no release heading (## <version> - <YYYY-MM-DD>)")
    return [(version, date, entries(lines)) for version, date, lines in found]


def columns(text):
    """Width on a terminal: Chinese characters take two columns."""
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


def fill(text, width, first, rest):
    """text in lines of at most width columns (a longer word stands alone)."""
    lines, words = [], []
    for word in text.split():
        if words and columns((rest if lines else first) + " ".join(words + [word])) > width:
            lines.append((rest if lines else first) + " ".join(words))
            words = []
        words.append(word)
    lines.append((rest if lines else first) + " ".join(words))
    return "\n".join(lines)


def plain(text):
    return re.sub(r"\*\*(.+?)\*\*|`([^`]+)`", lambda m: m[1] or m[2], text)


def debian_changelog(markdown, maintainer):
    out = []
    found = releases(markdown)
    for version, date, entries in found:
        if not entries:
            sys.exit(f"CHANGELOG.md: release {version} says nothing")
        out.append(f"velmora ({version}) unstable; urgency=medium\n\n")
        for entry in entries:
            out.append(fill(plain(entry), 78, "  * ", "    ") + "\n")
        # Releases of one day follow each other an hour apart, so that each
        # entry is newer than the one below it, as Debian's tools require.
        same_day = [v for v, d, _ in found if d == date]
        hour = len(same_day) - 1 - same_day.index(version)
        stamp = datetime.datetime(date.year, date.month, date.day, hour, tzinfo=datetime.timezone.utc)
        out.append(f"\n -- {maintainer}  {stamp.strftime('%a, %d %b %Y %H:%M:%S %z')}\n\n")
    return "".join(out).rstrip("\n") + "\n"


def write_gzip(data, path):
    with open(path, "wb") as f:
        f.write(gzip.compress(data, compresslevel=9, mtime=0))


def main():
    command, args = sys.argv[1], sys.argv[2:]
    if command == "changelog":
        source, maintainer, output = args
        with open(source, encoding="utf-8") as f:
            text = debian_changelog(f.read(), maintainer)
        write_gzip(text.encode("utf-8"), output)
    elif command == "gzip":
        source, output = args
        with open(source, "rb") as f:
            write_gzip(f.read(), output)
    elif command == "windows":
        output, sources = args[0], args[1:]
        parts = []
        for source in sources:
            with open(source, encoding="utf-8") as f:
                parts.append(f.read().replace("\r\n", "\n"))
        with open(output, "w", encoding="utf-8", newline="\r\n") as f:
            f.write("".join(parts))
    else:
        sys.exit(f"unknown command {command!r}")


if __name__ == "__main__":
    main()
