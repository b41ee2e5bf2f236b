#!/usr/bin/python3
"""Checks that scripts/packages.d/ names every Debian package the project reads.

Run after the builds (stage scripts/test.d/70-install-lists.sh). The files
read from outside the source tree come from what the tools already record:

  * ninja's dependency log (`ninja -t deps`): the headers each compile read;
  * ninja's commands and CMake's generated files (build.ninja with its
    configure inputs, cmake_install.cmake, CTestTestfile.cmake,
    CPackConfig.cmake, AutogenInfo.json): every absolute path they name,
    which are the compilers, CMake, the libraries linked by path, Qt's code
    generators, the programs the tests and install scripts run; and each
    `-lNAME` of a link, found as the compiler driver finds it
    (`-print-file-name`);
  * `ldd` of every program and library the builds made;
  * for a .deb, the tools CPack's DEB generator runs (file, dpkg-shlibdeps);
  * the programs the tracked shell scripts call, the modules their Python
    imports, and the absolute paths the tracked sources name.

What a compiler or a tool reads on its own (cc1plus, the linker, start
files) is what its package depends on, so the package graph covers it.
Each file goes to its package with `dpkg -S`, along its symbolic links and
in the /usr-merged spellings. A package is present when a list names it,
when it is essential or of priority required (a minimal Debian has those),
or when `apt-cache depends --important` of those pulls it in (of a choice,
the first, as apt takes it). Any other package fails the check, named with
files that need it and who read them.

Options: --lists DIR reads the lists from DIR; --without PKG (repeatable)
checks as if PKG were in no list; --verbose prints every file read.
"""

import argparse
import ast
import glob
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import time

ROOT = os.path.realpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
BUILDS = ["build/ci", "build/asan", "build/mingw", "build/fuzz"]
# make-images.sh installs its own extras; check-fresh-debian.sh runs on the
# host that makes the fresh system.
SCRIPTS_SKIPPED = {"scripts/make-images.sh", "scripts/check-fresh-debian.sh"}
SYSTEM_PATH = "/usr/sbin:/usr/bin:/sbin:/bin"
GENERATED = {"build.ninja", "cmake_install.cmake", "CTestTestfile.cmake", "CPackConfig.cmake",
             "AutogenInfo.json"}
# Folders of a build that are no part of it: wine prefixes (whose z: drive
# is the whole machine), CMake's and CPack's scratch folders.
SKIPPED_FOLDERS = {"wineprefix", "screenshot-prefix", "_CPack_Packages", "Testing", "CMakeFiles"}
ABSOLUTE = re.compile(r"(?<![\w$}./-])(/(?:usr|bin|sbin|lib|lib64)/[\w./+-]*[\w+-])")
COMPILER = re.compile(r"(c\+\+|g\+\+|gcc|clang\+\+|clang)(-[0-9.]+|-posix)?$")
TEXT = re.compile(r"\.(cpp|h|hpp|cmake|txt|sh|in|py|json)$|^\.ci/run$")
SHELL_WORDS = set("""! [ [[ ]] { } . : alias break case cd command continue declare do done echo
elif else esac eval exec exit export false fi for function if in local printf pwd read readonly
return set shift source test then time trap true type unset until wait while""".split())
# Words that run the command after them; wrappers also take options first.
PREFIXES = {"!", "then", "do", "else", "elif", "if", "while", "until", "{", "exec", "command",
            "nohup", "time"}
WRAPPERS = {"timeout", "xvfb-run", "env", "setsid"}


def run(command, **options):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          stdin=subprocess.DEVNULL, text=True, errors="replace", **options)


class Needs(dict):
    """Files read from outside the tree: path → who read it first; and
    what was looked for and not found."""

    def __init__(self):
        super().__init__()
        self.problems = []

    def add(self, path, why):
        if path and os.path.isabs(path):
            path = os.path.normpath(path)
            if not (path + "/").startswith(ROOT + "/") and os.path.isfile(path):
                self.setdefault(path, why)


def build_files(build):
    for folder, dirs, files in os.walk(build):
        dirs[:] = [d for d in dirs if d not in SKIPPED_FOLDERS]
        yield from (os.path.join(folder, name) for name in files)


def collect_build(needs, build):
    name = os.path.relpath(build, ROOT)
    deps = run(["ninja", "-C", build, "-t", "deps"]).stdout
    target = None
    for line in deps.splitlines():
        if line and not line.startswith(" "):
            target = line.split(":", 1)[0]
        elif line.strip():
            needs.add(os.path.join(build, line.strip()), f"{name}: compiling {target}")
    commands = run(["ninja", "-C", build, "-t", "commands"]).stdout
    generated = [p for p in build_files(build) if os.path.basename(p) in GENERATED]
    for path in generated:
        with open(path, encoding="utf-8", errors="replace") as f:
            # The objdump CMake found is named in every install script but
            # read only by file(GET_RUNTIME_DEPENDENCIES), which no install
            # of ours calls.
            commands += "".join(l for l in f if "set(CMAKE_OBJDUMP " not in l)
    for path in ABSOLUTE.findall(commands):
        needs.add(path, f"{name}: named by a build step or a generated file")
    linked = set()
    for line in commands.splitlines():
        words = line.split()
        driver = next((w for w in words if w.startswith("/") and COMPILER.search(w)), None)
        for library in {w[2:] for w in words if re.fullmatch(r"-l[\w+.-]+", w)} - linked:
            linked.add(library)
            forms = (f"lib{library}.so", f"lib{library}.dll.a", f"lib{library}.a")
            found = [run([driver, f"-print-file-name={form}"]).stdout.strip() for form in forms]
            found = [f for f in found if os.path.isabs(f)]
            if found:
                needs.add(found[0], f"{name}: linking -l{library}")
            else:
                needs.problems.append(f"{name}: the linker finds no -l{library}")
    for path in build_files(build):
        if os.access(path, os.X_OK) and not os.path.islink(path):
            with open(path, "rb") as f:
                if f.read(4) != b"\x7fELF":
                    continue
            loads = run(["ldd", path]).stdout
            for loaded in re.findall(r"(?:=> |^\s*)(/\S+)", loads, re.M):
                needs.add(loaded, f"{name}: {os.path.relpath(path, build)} loads")
            needs.problems += [f"{path} loads {line.strip()}" for line in loads.splitlines()
                               if "not found" in line]
    config = os.path.join(build, "CPackConfig.cmake")
    if os.path.isfile(config) and 'CPACK_GENERATOR "DEB"' in open(config).read():
        for tool in ("file", "dpkg-shlibdeps"):
            needs.add(shutil.which(tool, path=SYSTEM_PATH), f"{name}: cpack -G DEB runs {tool}")


def shell_commands(text):
    """The words of each simple command of a shell text, roughly as bash
    splits them: here-documents apart, command substitutions as commands of
    their own."""
    heredoc = r"<<-?\s*[\"']?(\w+)[\"']?[^\n]*\n(.*?)\n\s*\1\n"
    bodies = [body for _, body in re.findall(heredoc, text, re.S)]
    text = re.sub(heredoc, "\n", text, flags=re.S)
    text = text.replace("\\\n", " ")
    pieces = []
    while True:
        inner = re.search(r"\$\(([^()]*)\)", text)
        if not inner:
            break
        pieces.append(inner.group(1))
        text = text[:inner.start()] + "X" + text[inner.end():]
    commands = []
    for piece in pieces + text.splitlines():
        try:
            lexer = shlex.shlex(piece, posix=True, punctuation_chars=";&|()<>")
            lexer.whitespace_split = True
            tokens = list(lexer)
        except ValueError:
            continue
        words = []
        for token in tokens + [";"]:
            if token and set(token) <= set(";&|()<>"):
                commands.append(words)
                words = []
            else:
                words.append(token)
    return [w for w in commands if w], bodies


def programs_of(words):
    """The program a simple command runs, and the one a wrapper runs."""
    found, wrapped = [], False
    for word in words:
        if word in PREFIXES or re.match(r"^\w+=", word) or wrapped and re.match(r"^[-$0-9]", word):
            continue
        if word in SHELL_WORDS or "$" in word or ("/" in word and not word.startswith("/")):
            break
        found.append(word if word.startswith("/") else shutil.which(word, path=SYSTEM_PATH))
        if word not in WRAPPERS:
            break
        wrapped = True
    return [p for p in found if p]


def collect_sources(needs, files):
    pythons = []
    for f in files:
        if f in SCRIPTS_SKIPPED or f.startswith(("docs/", "samples/", "fuzz/corpus/")):
            continue
        with open(os.path.join(ROOT, f), encoding="utf-8", errors="replace") as handle:
            text = handle.read(2) if not TEXT.search(f) else ""
            if not TEXT.search(f) and text != "#!":
                continue
            text += handle.read()
        if f.endswith((".sh", ".sh.in")) or f == ".ci/run" or re.match(r"#!\S*/(ba)?sh\b", text):
            commands, bodies = shell_commands(text)
            for program in (p for words in commands for p in programs_of(words)):
                needs.add(program, f"{f} runs {os.path.basename(program)}")
            pythons += [(f, body) for body in bodies]
        elif f.endswith(".py"):
            pythons.append((f, text))
        for path in ABSOLUTE.findall(text):
            needs.add(path, f"{f} names {path}")
    modules = {}
    for where, text in pythons:
        try:
            tree = ast.parse(text)
        except SyntaxError:
            continue
        for node in ast.walk(tree):
            names = [a.name for a in node.names] if isinstance(node, ast.Import) else \
                [node.module] if isinstance(node, ast.ImportFrom) and node.module else []
            for name in names:
                modules.setdefault(name.split(".")[0], where)
    probe = ("import importlib.util, json, sys\nprint(json.dumps({n: getattr(importlib.util."
             "find_spec(n), 'origin', None) for n in sys.argv[1:]}))")
    origins = json.loads(run(["/usr/bin/python3", "-c", probe] + sorted(modules)).stdout or "{}")
    for name, origin in origins.items():
        needs.add(origin, f"{modules[name]} imports {name}")
        beside = os.path.join(ROOT, os.path.dirname(modules[name]), name + ".py")
        if origin is None and not os.path.isfile(beside):
            needs.problems.append(f"{modules[name]} imports {name}, which /usr/bin/python3 does not find")


def owners(needs):
    """Each file's first owned spelling along its links: path → packages."""
    def spellings(path):
        for p in (path, os.path.join(os.path.realpath(os.path.dirname(path)),
                                     os.path.basename(path))):
            yield from (p, re.sub(r"^/usr/(lib\w*|s?bin)/", r"/\1/", p),
                        re.sub(r"^/(lib\w*|s?bin)/", r"/usr/\1/", p))

    chains = {}
    for path in needs:
        chain = [path]
        while os.path.islink(chain[-1]) and len(chain) < 20:
            chain.append(os.path.join(os.path.dirname(chain[-1]), os.readlink(chain[-1])))
        chains[path] = [list(dict.fromkeys(spellings(os.path.normpath(p)))) for p in chain]
    asked = sorted({s for chain in chains.values() for hop in chain for s in hop})
    owned = {}
    for start in range(0, len(asked), 2000):
        for line in run(["dpkg", "-S"] + asked[start:start + 2000]).stdout.splitlines():
            if ": " in line and not line.startswith(("diversion", "local diversion")):
                packages, path = line.split(": ", 1)
                owned.setdefault(path, set()).update(
                    p.strip().split(":")[0] for p in packages.split(","))
    result = {}
    for path, chain in chains.items():
        result[path] = next((owned[s] - {"velmora"} for hop in chain for s in hop
                             if owned.get(s, set()) - {"velmora"}), set())
    return result


def present_packages(listed):
    """The listed, essential and required packages and what they depend on:
    of a choice none of whose packages is there yet, the first (for a
    virtual package, its first provider), as apt takes it."""
    query = run(["dpkg-query", "-W", "-f", "${Package}\t${Essential}\t${Priority}\n"]).stdout
    roots = {p for p, essential, priority in (l.split("\t") for l in query.splitlines())
             if essential == "yes" or priority == "required"} | set(listed)
    # Each package's groups of choices, a choice as [name, whether it is
    # virtual (<name>), the packages that provide it].
    graph, groups, alternative = {}, [], False
    depends = run(["apt-cache", "depends", "--recurse", "--important"] + sorted(roots)).stdout
    for line in depends.splitlines():
        dependency = re.match(r"^ (\||\s)(?:Pre)?Depends: (\S+)$", line)
        if not line.startswith(" "):
            groups = graph.setdefault(line.strip().strip("<>"), [])
            alternative = False
        elif dependency:
            name = dependency.group(2)
            choice = [name.strip("<>"), name.startswith("<"), []]
            if alternative:
                groups[-1].append(choice)
            else:
                groups.append([choice])
            alternative = dependency.group(1) == "|"
        elif line.startswith("    ") and groups:
            groups[-1][-1][2].append(line.strip())
    present, queue = set(roots), sorted(roots)
    while queue:
        for group in graph.get(queue.pop(), []):
            if not {name for choice in group for name in [choice[0]] + choice[2]} & present:
                first, virtual, providers = group[0]
                taken = providers[0] if virtual and providers else first
                present.add(taken)
                queue.append(taken)
    return present, set(graph)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--lists", default=os.path.join(ROOT, "scripts", "packages.d"))
    parser.add_argument("--without", action="append", default=[], metavar="PKG")
    parser.add_argument("--verbose", action="store_true")
    options = parser.parse_args()
    started = time.monotonic()
    builds = [os.path.join(ROOT, b) for b in BUILDS if os.path.isfile(os.path.join(ROOT, b, "build.ninja"))]
    if not any(b.endswith("build/ci") for b in builds):
        sys.exit("check_install_lists: build/ci is not built yet; run it after the builds")

    needs = Needs()
    for build in builds:
        collect_build(needs, build)
    files = [f for f in run(["git", "-C", ROOT, "ls-files"]).stdout.splitlines()
             if os.path.isfile(os.path.join(ROOT, f))]
    collect_sources(needs, files)

    listed = {}
    for path in sorted(glob.glob(os.path.join(options.lists, "*.txt"))):
        for line in open(path, encoding="utf-8"):
            for name in line.split("#", 1)[0].split():
                listed.setdefault(name, os.path.basename(path))
    for name in options.without:
        listed.pop(name, None)
    present, known = present_packages(listed)
    problems = needs.problems + [f"{listed[n]} lists {n}, which apt does not know"
                                 for n in listed if n not in known]

    missing, used = {}, set()
    for path, packages in sorted(owners(needs).items()):
        used |= packages
        if options.verbose:
            print(f"read: {path} ({needs[path]}) from {' '.join(sorted(packages)) or 'no package'}")
        if packages and not packages & present:
            missing.setdefault(" or ".join(sorted(packages)), []).append(path)
    for problem in problems:
        print(f"problem: {problem}")
    for package, paths in sorted(missing.items()):
        print(f"MISSING {package}: in no list under scripts/packages.d/ and pulled in by none, but read:")
        for path in paths[:5]:
            print(f"    {path}  ({needs[path]})")
        if len(paths) > 5:
            print(f"    … and {len(paths) - 5} more files")
    print(f"install lists: {len(needs)} files from {len(used)} packages read by "
          f"{' '.join(os.path.relpath(b, ROOT) for b in builds)}, the tests, the release and "
          f"{len(files)} tracked files; {len(listed)} listed packages pull in {len(present)}; "
          f"{len(missing)} missing; {time.monotonic() - started:.1f} s")
    return 1 if missing or problems else 0


if __name__ == "__main__":
    sys.exit(main())
