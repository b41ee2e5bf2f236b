#!/usr/bin/python3
"""Checks that scripts/packages.d/ names every Debian package the project reads.

Run after the builds (stage scripts/test.d/70-package-lists.sh). It collects
every file from outside the source tree that the builds, tests and release
read, as far as they can be seen without tracing:

  * the headers each compiler read (ninja's dependency log, `ninja -t deps`);
  * the compilers, linkers and tools each build step runs (`ninja -t
    commands`), and for every link the files the linker reads: the driver's
    own command (`-###`) gives its start files, runtime libraries and search
    folders, and each `-l` name is resolved there as ld resolves it, through
    linker scripts such as libc.so;
  * the CMake files each configure step read (build.ninja's RERUN_CMAKE
    inputs) and Qt's code generators (AutogenInfo.json); not what
    CMakeCache.txt holds: CMake finds tools it never runs (llvm-ar, ld.lld);
  * the shared libraries every built Linux program loads (`ldd`);
  * the programs the tests start (`ctest --show-only=json-v1`);
  * the CPack generator modules the release uses and the programs they look
    for and run (file, dpkg-shlibdeps …), and the programs the install
    scripts run (strip);
  * the programs the project's shell scripts call, the Python modules its
    Python code imports, and the absolute file paths its sources name.

Each file is mapped to its Debian package with `dpkg -S` (following symbolic
links, and /usr-merged spellings). A package counts as present when the
lists name it, when it is essential or of priority required (a minimal
Debian has those), or when `apt-cache depends --recurse --important` of
those pulls it in (of a choice "a | b", the one apt would install). Any other
package fails the check, named with the files that need it and who read them.

Options: --lists DIR reads the lists from DIR; --without PKG (repeatable)
checks as if PKG were in no list; --verbose prints what was collected.
"""

import argparse
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
# Scripts that are not run on a fresh machine with the lists' packages:
# make-images.sh installs its own extras; check-fresh-debian.sh runs on the
# host that makes the fresh system (it installs debootstrap itself).
SCRIPTS_SKIPPED = {"scripts/make-images.sh", "scripts/check-fresh-debian.sh"}
# Packages the project makes itself: an installed velmora owns the paths
# that the release checks name.
OWN_PACKAGES = {"velmora"}
SYSTEM_PATH = "/usr/sbin:/usr/bin:/sbin:/bin"
NOT_DEBIAN = ("/usr/local/", "/opt/", "/root/", "/home/", "/snap/", "/nix/")


def run(command, cwd=None, check=False):
    """Runs a command; returns (exit status, stdout, stderr) as text."""
    process = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             stdin=subprocess.DEVNULL, text=True, errors="replace")
    if check and process.returncode != 0:
        sys.exit(f"check-package-lists: {' '.join(command)} failed:\n{process.stderr}")
    return process.returncode, process.stdout, process.stderr


def inside_tree(path):
    return path == ROOT or path.startswith(ROOT + os.sep)


# ---------------------------------------------------------------- shell text

BASH_WORDS = set("""
alias bg bind break builtin caller cd command compgen complete compopt continue declare dirs
disown echo enable eval exec exit export false fc fg getopts hash help history jobs kill let
local logout mapfile popd printf pushd pwd read readarray readonly return set shift shopt
source suspend test times trap true type typeset ulimit umask unalias unset wait
if then else elif fi case esac for select while until do done in function time coproc
{ } ! [ [[ ]] . :
""".split())
REOPEN = {"if", "then", "else", "elif", "do", "while", "until", "!", "{", "}", "time",
          "fi", "done", "esac", "(", "exec", "command", "builtin", "nohup", "sudo", "$SUDO"}
ASSIGNMENT = re.compile(r"^[A-Za-z_][A-Za-z0-9_]*(\[[^]]*\])?\+?=")
PROGRAM_NAME = re.compile(r"^[A-Za-z0-9_][A-Za-z0-9_.+-]*$")
OPERATORS = ["&&", "||", ";;", ";&", "|&", "&", "|", ";", "(", ")", "\n"]
REDIRECTS = ["&>>", "&>", ">>", ">&", "<&", "<>", ">|", ">", "<"]


class Lexer:
    """Splits shell text into simple commands: lists of (word, line) pairs.

    Quotes are removed; expansions stay as written ($x, ${x}); command and
    process substitutions are lexed as scripts of their own. Here-documents
    are kept aside with the command they feed."""

    def __init__(self, text, first_line=1):
        self.text, self.i, self.line = text, 0, first_line
        self.commands = []   # (words, line) ; words: list of str
        self.heredocs = []   # (words of the command, body)
        self.nested = []     # Lexer of substitutions

    def lex(self):
        words, start, pending = [], self.line, []
        word, quoted, in_word, discard, depth = "", False, False, False, 0
        text = self.text

        def end_word():
            nonlocal word, quoted, in_word, discard
            if in_word:
                if discard:
                    discard = False
                else:
                    words.append(word)
            word, quoted, in_word = "", False, False

        def end_command():
            nonlocal words, start
            end_word()
            if words:
                self.commands.append((words, start))
            words, start = [], self.line

        while self.i < len(text):
            c = text[self.i]
            if c == "\\" and self.i + 1 < len(text):
                if text[self.i + 1] == "\n":
                    self.line += 1
                else:
                    word += text[self.i + 1]
                    in_word = True
                self.i += 2
                continue
            if c == "'":
                close = text.find("'", self.i + 1)
                close = len(text) if close < 0 else close
                word += text[self.i + 1:close]
                self.line += text.count("\n", self.i, close)
                in_word, quoted = True, True
                self.i = close + 1
                continue
            if c == '"':
                self.i += 1
                while self.i < len(text) and text[self.i] != '"':
                    if text[self.i] == "\\" and self.i + 1 < len(text):
                        word += text[self.i + 1]
                        self.i += 2
                    elif text.startswith("$(", self.i) and not text.startswith("$((", self.i):
                        word += "$(" + self.substitution(self.i + 1) + ")"
                    elif text[self.i] == "`":
                        word += "`" + self.backquote() + "`"
                    else:
                        if text[self.i] == "\n":
                            self.line += 1
                        word += text[self.i]
                        self.i += 1
                self.i += 1
                in_word, quoted = True, True
                continue
            if c == "$" and text.startswith("$((", self.i):
                word += "$(" + self.balanced(self.i + 1, "(", ")") + ")"
                in_word = True
                continue
            if c == "$" and text.startswith("$(", self.i):
                word += "$(" + self.substitution(self.i + 1) + ")"
                in_word = True
                continue
            if c == "$" and text.startswith("${", self.i):
                word += "${" + self.balanced(self.i + 1, "{", "}") + "}"
                in_word = True
                continue
            if c == "`":
                word += "`" + self.backquote() + "`"
                in_word = True
                continue
            if c in "<>" and text.startswith("(", self.i + 1):
                # Process substitution: a script of its own.
                end_word()
                self.substitution(self.i + 1)
                discard = False
                continue
            if c == "#" and not in_word:
                while self.i < len(text) and text[self.i] != "\n":
                    self.i += 1
                continue
            if c == "(" and in_word and word.endswith("="):
                # An array assignment: its items are words, not commands.
                word += "(" + self.balanced(self.i, "(", ")") + ")"
                continue
            if c in " \t":
                end_word()
                self.i += 1
                continue
            if text.startswith("<<", self.i) and not text.startswith("<<<", self.i):
                end_word()
                self.i += 2
                strip_tabs = text.startswith("-", self.i)
                if strip_tabs:
                    self.i += 1
                while self.i < len(text) and text[self.i] in " \t":
                    self.i += 1
                m = re.match(r"""(['"]?)([A-Za-z0-9_]+)\1""", text[self.i:])
                if m:
                    pending.append((m.group(2), strip_tabs, words))
                    self.i += m.end()
                continue
            if text.startswith("<<<", self.i):
                end_word()
                self.i += 3
                continue
            redirect = next((r for r in REDIRECTS if text.startswith(r, self.i)), None)
            if redirect:
                # A redirection: the descriptor before it and its target are no words.
                if in_word and word.isdigit() and not quoted:
                    word, in_word = "", False
                end_word()
                self.i += len(redirect)
                if redirect in (">&", "<&"):
                    m = re.match(r"\s*[0-9-]+", text[self.i:])
                    if m:
                        self.i += m.end()
                        continue
                discard = True
                continue
            operator = next((o for o in OPERATORS if text.startswith(o, self.i)), None)
            if operator:
                end_word()
                if operator == "(":
                    depth += 1
                    words.append(operator)
                elif operator == ")" and depth:
                    depth -= 1                # the end of a subshell
                elif operator == ")":
                    words.append(operator)    # the end of a case pattern
                end_command()
                self.i += len(operator)
                if operator == "\n":
                    self.line += 1
                    start = self.line
                    for delimiter, strip_tabs, owner in pending:
                        body = []
                        while self.i < len(text):
                            eol = text.find("\n", self.i)
                            eol = len(text) if eol < 0 else eol
                            current = text[self.i:eol]
                            self.i = eol + 1
                            self.line += 1
                            if (current.lstrip("\t") if strip_tabs else current) == delimiter:
                                break
                            body.append(current)
                        self.heredocs.append((owner, "\n".join(body)))
                    pending = []
                    start = self.line
                continue
            word += c
            in_word = True
            self.i += 1
        end_command()
        return self

    def balanced(self, at, opening, closing):
        """Skips a balanced (...) or {...} starting at text[at]; returns its inside."""
        depth, j, text = 0, at, self.text
        while j < len(text):
            if text[j] == "\\":
                j += 2
                continue
            if text[j] == "'" and opening == "{":
                j = text.find("'", j + 1) + 1 or len(text)
                continue
            if text[j] == opening:
                depth += 1
            elif text[j] == closing:
                depth -= 1
                if depth == 0:
                    break
            j += 1
        inside = text[at + 1:j]
        self.line += inside.count("\n")
        self.i = j + 1
        if "$(" in inside:
            self.nested.append(Lexer(inside, self.line).lex())
        return inside

    def substitution(self, at):
        """Lexes the script inside a $( ... ) or <( ... ) starting at text[at] == '('."""
        text, j, depth, quote = self.text, at + 1, 1, None
        while j < len(text):
            ch = text[j]
            if quote:
                if ch == "\\" and quote == '"':
                    j += 2
                    continue
                if ch == quote:
                    quote = None
            elif ch == "\\":
                j += 2
                continue
            elif ch in "'\"":
                quote = ch
            elif ch == "#" and text[j - 1] in " \t\n":
                eol = text.find("\n", j)
                j = len(text) if eol < 0 else eol
                continue
            elif ch == "(":
                depth += 1
            elif ch == ")":
                depth -= 1
                if depth == 0:
                    break
            j += 1
        inside = text[at + 1:j]
        self.nested.append(Lexer(inside, self.line).lex())
        self.line += inside.count("\n")
        self.i = j + 1
        return inside

    def backquote(self):
        close = self.text.find("`", self.i + 1)
        close = len(self.text) if close < 0 else close
        inside = self.text[self.i + 1:close]
        self.nested.append(Lexer(inside, self.line).lex())
        self.line += inside.count("\n")
        self.i = close + 1
        return inside

    def all(self):
        """Every simple command and here-document, substitutions included."""
        commands, heredocs = list(self.commands), list(self.heredocs)
        for inner in self.nested:
            more, docs = inner.all()
            commands += more
            heredocs += docs
        return commands, heredocs


def skip_options(words, with_argument=()):
    """Drops leading options (and the arguments of those that take one)."""
    i = 0
    while i < len(words) and words[i].startswith("-") and words[i] != "-":
        if words[i] == "--":
            return words[i + 1:]
        i += 2 if words[i] in with_argument else 1
    return words[i:]


def programs_of(words):
    """The programs a simple command runs: (name, [arguments]) pairs, the
    wrapped ones (timeout, env, xvfb-run, nice, cmake -E env …) included."""
    found = []
    while words:
        head = words[0]
        if ASSIGNMENT.match(head) or head in REOPEN:
            words = words[1:]
            continue
        if head in ("for", "select", "case", "[[", "((", "function") or head.startswith("(("):
            return found
        if head.startswith("$") and len(words) > 1 and PROGRAM_NAME.match(words[1]):
            words = words[1:]     # "$SUDO apt-get …": the next word runs too
            continue
        found.append((head, words[1:]))
        name = os.path.basename(head)
        rest = words[1:]
        if name == "timeout":
            rest = skip_options(rest, ("-k", "-s", "--kill-after", "--signal"))[1:]
        elif name == "nice":
            rest = skip_options(rest, ("-n", "--adjustment"))
        elif name == "env":
            rest = skip_options(rest, ("-u", "--unset", "-C", "--chdir", "-S"))
            while rest and ASSIGNMENT.match(rest[0]):
                rest = rest[1:]
        elif name == "xvfb-run":
            rest = skip_options(rest, ("-s", "-n", "-e", "-f", "-w", "-p", "--server-args",
                                       "--server-num", "--error-file", "--auth-file", "--wait",
                                       "--xauth-protocol"))
        elif name == "xargs":
            rest = skip_options(rest, ("-n", "-I", "-P", "-d", "-L", "-s", "-E", "-a"))
        elif name == "cmake" and rest[:2] == ["-E", "env"]:
            rest = rest[2:]
            while rest and (ASSIGNMENT.match(rest[0]) or rest[0].startswith("--")):
                rest = rest[1:]
        elif name in ("bash", "sh", "dash") and len(rest) >= 2 and rest[0] == "-c":
            found.extend(script_programs(rest[1]))
            return found
        elif name == "trap" and rest:
            found.extend(script_programs(rest[0]))
            return found
        else:
            return found
        words = rest
    return found


def parse_script(text):
    """(programs, python bodies) of a shell script: programs as (word, line)."""
    lexer = Lexer(text).lex()
    commands, heredocs = lexer.all()
    functions = set()
    for words, _ in commands:
        if len(words) >= 2 and words[1] == "(" and PROGRAM_NAME.match(words[0]):
            functions.add(words[0])
        if len(words) >= 2 and words[0] == "function":
            functions.add(words[1])
    programs = []
    in_case = 0
    for words, line in commands:
        if words and words[0] == "case":
            in_case += 1
        if words and words[0] == "esac":
            in_case = max(0, in_case - 1)
        if in_case and words and words[-1] == ")" and "(" not in words:
            continue              # a case pattern: "--only)"
        if len(words) >= 2 and words[1] == "(":
            continue              # a function's head: "name() {"
        for name, _ in programs_of(words):
            programs.append((name, line))
    programs = [(n, l) for n, l in programs if n not in functions]
    pythons = [body for owner, body in heredocs
               if any(os.path.basename(w).startswith("python") for w in owner[:3])]
    return programs, pythons


def script_programs(text):
    return [(name, []) for name, _ in parse_script(text)[0]]


def resolve_program(word):
    """The file a program word names, looked up in the system's PATH."""
    if "$" in word or "`" in word or not word:
        return None
    if "/" in word:
        return os.path.normpath(word) if os.path.isabs(word) and os.path.isfile(word) else None
    if word in BASH_WORDS or not PROGRAM_NAME.match(word):
        return None
    return shutil.which(word, path=SYSTEM_PATH)


# ------------------------------------------------------------------- collect

class Needs:
    """Files read from outside the tree, each with who read it first."""

    def __init__(self):
        self.files = {}

    def add(self, path, why):
        if not path or not os.path.isabs(path):
            return
        path = os.path.normpath(path)
        if inside_tree(path) or not os.path.isfile(path):
            return
        self.files.setdefault(path, why)


def tracked_files():
    status, out, _ = run(["git", "-C", ROOT, "ls-files", "-z"])
    if status == 0:
        return [f for f in out.split("\0") if f and os.path.isfile(os.path.join(ROOT, f))]
    found = []
    for folder, dirs, files in os.walk(ROOT):
        dirs[:] = [d for d in dirs if d not in (".git", "build")]
        found += [os.path.relpath(os.path.join(folder, f), ROOT) for f in files]
    return found


def collect_headers(needs, build):
    status, out, err = run(["ninja", "-C", build, "-t", "deps"])
    if status != 0:
        print(f"note: {build}: ninja -t deps failed: {err.strip()}")
        return
    target = None
    for line in out.splitlines():
        if not line.startswith(" ") and ":" in line:
            target = line.split(":", 1)[0]
        elif line.strip():
            path = line.strip()
            if not os.path.isabs(path):
                path = os.path.join(build, path)
            needs.add(path, f"{rel(build)}: compiling {target}")


COMPILER = re.compile(r"(^|[-/])(c\+\+|g\+\+|gcc|cc|clang\+\+|clang)(-[0-9.]+|-posix|-win32)?$")


def collect_commands(needs, build, links):
    status, out, err = run(["ninja", "-C", build, "-t", "commands"])
    if status != 0:
        print(f"note: {build}: ninja -t commands failed: {err.strip()}")
        return
    for line in out.splitlines():
        lexer = Lexer(line).lex()
        commands, _ = lexer.all()
        cwd = build
        for words, _ in commands:
            if words[:1] == ["cd"] and len(words) > 1:
                cwd = os.path.join(build, words[1])
                continue
            for name, args in programs_of(words):
                program = resolve_program(name)
                if not program:
                    continue
                needs.add(program, f"{rel(build)}: build step runs {name}")
                if COMPILER.search(os.path.basename(program)):
                    compiler_files(needs, build, program, args, cwd, links)


def compiler_files(needs, build, program, args, cwd, links):
    """A compile or link: the programs the driver runs, and for a link every
    start file and library the linker reads (resolved once per kind of link)."""
    is_link = "-c" not in args and "-E" not in args and "-S" not in args and "-o" in args
    kept, skip_next = [], False
    for i, a in enumerate(args):
        if skip_next:
            skip_next = False
            continue
        if a in ("-o", "-MF", "-MT", "-MQ"):
            skip_next = True
            continue
        if a.startswith("@"):
            print(f"note: {rel(build)}: a response file ({a}) is not read")
            continue
        path = a if os.path.isabs(a) else os.path.normpath(os.path.join(cwd, a))
        if not a.startswith("-") and (inside_tree(path) or re.search(r"\.(o|obj|a|so[.0-9]*|c|cc|cpp|cxx|rc|res)$", a)):
            if not inside_tree(path):
                needs.add(path, f"{rel(build)}: link names {a}")
            continue
        kept.append(a)
    key = (program, is_link, tuple(kept) if is_link else ())
    if key in links:
        return
    links[key] = True
    why = f"{rel(build)}: {'linking' if is_link else 'compiling'} with {os.path.basename(program)}"
    if is_link:
        command = [program, "-###"] + kept + ["/nonexistent/velmora-check.o", "-o", "/dev/null"]
    else:
        command = [program, "-###", "-c", "-x", "c++", "/dev/null", "-o", "/dev/null"]
    _, _, err = run(command, cwd=cwd)
    lines = [l for l in err.splitlines() if l.startswith(" ")]
    for l in lines:
        try:
            words = shlex.split(l)
        except ValueError:
            continue
        if words:
            needs.add(resolve_program(words[0]) or words[0], why)
    if not is_link or not lines:
        return
    linker = shlex.split(lines[-1])
    status, out, _ = run([program, "-print-prog-name=ld"], cwd=cwd)
    ld = resolve_program(out.strip()) if status == 0 else None
    if ld:
        needs.add(ld, why)
    linker_inputs(needs, linker, ld, why)


_SEARCH_DIRS = {}


def ld_search_dirs(ld):
    if not ld:
        return []
    if ld not in _SEARCH_DIRS:
        _, out, _ = run([ld, "--verbose"])
        _SEARCH_DIRS[ld] = [d.lstrip("=") for d in re.findall(r'SEARCH_DIR\("([^"]+)"\)', out)]
    return _SEARCH_DIRS[ld]


def linker_inputs(needs, words, ld, why):
    """Every file a linker command line reads, -l names resolved as ld does."""
    dirs, names, static = [], [], False
    pe = any(w in ("i386pep", "i386pe") for w in words)
    i = 1
    while i < len(words):
        w = words[i]
        if w in ("-plugin", "-dynamic-linker") and i + 1 < len(words):
            needs.add(words[i + 1], why)
            i += 2
            continue
        if w == "-L" and i + 1 < len(words):
            dirs.append(words[i + 1])
            i += 2
            continue
        if w == "-l" and i + 1 < len(words):
            names.append((words[i + 1], static))
            i += 2
            continue
        if w.startswith("-L"):
            dirs.append(w[2:])
        elif w.startswith("-l"):
            names.append((w[2:], static))
        elif w in ("-Bstatic", "-static", "-dn", "-non_shared"):
            static = True
        elif w in ("-Bdynamic", "-dy", "-call_shared"):
            static = False
        elif not w.startswith("-") and os.path.isabs(w):
            read_linker_file(needs, w, why)
        i += 1
    dirs += ld_search_dirs(ld)
    for name, is_static in names:
        if name.startswith(":"):
            candidates = [name[1:]]
        elif pe:
            candidates = ([] if is_static else [f"lib{name}.dll.a", f"{name}.dll.a"]) + \
                         [f"lib{name}.a"] + ([] if is_static else [f"{name}.lib", f"lib{name}.dll", f"{name}.dll"])
        else:
            candidates = ([] if is_static else [f"lib{name}.so"]) + [f"lib{name}.a"]
        found = None
        for d in dirs:
            for c in candidates:
                if os.path.isfile(os.path.join(d, c)):
                    found = os.path.join(d, c)
                    break
            if found:
                break
        if found:
            read_linker_file(needs, found, f"{why} -l{name}")
        else:
            print(f"problem: {why}: the linker finds no -l{name}")
            PROBLEMS.append(f"-l{name}: not found ({why})")


def read_linker_file(needs, path, why):
    needs.add(path, why)
    try:
        with open(path, "rb") as f:
            head = f.read(4096)
    except OSError:
        return
    if head.startswith(b"\x7fELF") or head.startswith(b"!<arch>") or b"\0" in head[:512]:
        return
    text = head.decode(errors="replace")
    if re.search(r"\b(GROUP|INPUT)\s*\(", text):
        for inner in re.findall(r"(/[^\s()]+)", re.sub(r"/\*.*?\*/", "", text, flags=re.S)):
            needs.add(inner, f"{why} (through {path})")


def collect_cmake(needs, build):
    ninja_file = os.path.join(build, "build.ninja")
    if os.path.isfile(ninja_file):
        with open(ninja_file, encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("build build.ninja") and "RERUN_CMAKE" in line:
                    inputs = line.split("|", 1)[1] if "|" in line else ""
                    for token in re.split(r"(?<!\$) ", inputs):
                        token = token.replace("$ ", " ").replace("$:", ":").replace("$$", "$").strip()
                        if token.startswith("/"):
                            needs.add(token, f"{rel(build)}: configure reads")
    for info in build_files(build, {"AutogenInfo.json"}):
        try:
            with open(info, encoding="utf-8") as f:
                data = json.load(f)
        except (OSError, ValueError):
            continue
        for key, value in data.items():
            if key.endswith("_EXECUTABLE") and isinstance(value, str) and os.path.isfile(value):
                needs.add(value, f"{rel(build)}: Qt's {key}")


def build_files(build, names=None):
    """The files a build made, without the wine prefixes (whose z: drive is
    the whole machine) and CMake's scratch folders; os.walk follows no links."""
    for folder, dirs, files in os.walk(build):
        dirs[:] = [d for d in dirs if d not in ("wineprefix", "screenshot-prefix", "_deps",
                                                "Testing", "_CPack_Packages")
                   and not (names is None and d == "CMakeFiles")]
        for name in files:
            if names is None or name in names:
                yield os.path.join(folder, name)


def elf_files(build):
    for path in build_files(build):
        if not os.access(path, os.X_OK) or os.path.islink(path):
            continue
        try:
            with open(path, "rb") as f:
                if f.read(4) != b"\x7fELF":
                    continue
        except OSError:
            continue
        yield path


def collect_loaded(needs, build):
    for path in elf_files(build):
        status, out, _ = run(["ldd", path])
        if status != 0:
            continue
        for line in out.splitlines():
            line = line.strip()
            m = re.match(r"^(\S+) => (/\S+)", line) or re.match(r"^(/\S+)", line)
            if m:
                needs.add(m.group(m.lastindex), f"{rel(build)}: {os.path.relpath(path, build)} loads")
            elif "not found" in line:
                PROBLEMS.append(f"{rel(path)} loads {line}")


def collect_tests(needs, build):
    status, out, _ = run(["ctest", "--test-dir", build, "--show-only=json-v1"])
    if status != 0 or not out.strip():
        return
    try:
        tests = json.loads(out).get("tests", [])
    except ValueError:
        return
    for test in tests:
        command = test.get("command") or []
        for name, _ in programs_of(list(command)):
            program = resolve_program(name)
            if program:
                needs.add(program, f"{rel(build)}: test {test.get('name')} runs {os.path.basename(name)}")


def collect_cpack(needs, build):
    """What CPack reads and runs when it packs this build: the module of each
    generator CPackConfig.cmake names, and the programs that module looks
    for (file, dpkg-shlibdeps …); the programs the install scripts run (strip)."""
    config = os.path.join(build, "CPackConfig.cmake")
    if not os.path.isfile(config):
        return
    with open(config, encoding="utf-8", errors="replace") as f:
        text = f.read()
    m = re.search(r'set\(CPACK_GENERATOR "([^"]*)"\)', text)
    generators = m.group(1).split(";") if m else []
    modules = glob.glob("/usr/share/cmake-*/Modules/Internal/CPack/CPack*.cmake")
    for generator in generators:
        for module in modules:
            if os.path.basename(module)[len("CPack"):-len(".cmake")].lower() == generator.lower():
                needs.add(module, f"{rel(build)}: cpack -G {generator} reads")
                with open(module, encoding="utf-8", errors="replace") as f:
                    source = f.read()
                for call in re.finditer(r"find_program\(\s*(\w+)\s+(?:NAMES\s+)?([^)]*)\)", source):
                    # Only a program the module runs, not one it merely notes.
                    if not re.search(r"execute_process\(\s*COMMAND[^)]*\$\{" + call.group(1) + r"\}", source):
                        continue
                    for name in call.group(2).split():
                        if name.isupper():
                            break      # the next keyword (PATHS, HINTS …)
                        program = resolve_program(name)
                        if program:
                            needs.add(program, f"{rel(build)}: cpack -G {generator} runs {name}")
    for script in build_files(build, {"cmake_install.cmake"}):
        with open(script, encoding="utf-8", errors="replace") as f:
            for m in re.finditer(r'execute_process\(COMMAND "([^"]+)"', f.read()):
                needs.add(resolve_program(m.group(1)), f"{rel(script)} runs {os.path.basename(m.group(1))}")


def collect_scripts(needs, files):
    pythons = []
    for f in files:
        path = os.path.join(ROOT, f)
        if f in SCRIPTS_SKIPPED:
            continue
        is_shell = f.endswith((".sh", ".sh.in")) or f == ".ci/run"
        if not is_shell:
            try:
                with open(path, "rb") as handle:
                    first = handle.readline(200)
                is_shell = first.startswith(b"#!") and re.search(rb"\b(ba|da)?sh\b", first) is not None
            except OSError:
                continue
        if is_shell:
            with open(path, encoding="utf-8", errors="replace") as handle:
                text = handle.read()
            first = text.split("\n", 1)[0]
            if first.startswith("#!"):
                shebang = first[2:].split()
                for name, _ in programs_of(shebang):
                    needs.add(resolve_program(name), f"{f}:1 runs {os.path.basename(name)}")
            programs, bodies = parse_script(text)
            for name, line in programs:
                program = resolve_program(name)
                if program:
                    needs.add(program, f"{f}:{line} runs {name}")
            pythons += [(f"{f} (python)", body) for body in bodies]
        elif f.endswith(".py"):
            with open(path, encoding="utf-8", errors="replace") as handle:
                pythons.append((f, handle.read()))
    collect_python(needs, pythons)


def collect_python(needs, sources):
    modules = {}
    for where, text in sources:
        for m in re.finditer(r"^\s*(?:import\s+([\w., ]+)|from\s+([\w.]+)\s+import)", text, re.M):
            for name in (m.group(1) or m.group(2)).split(","):
                name = name.strip().split(" ")[0].split(".")[0]
                if name and not name.startswith("_"):
                    modules.setdefault(name, where)
    if not modules or not os.path.isfile("/usr/bin/python3"):
        return
    probe = ("import importlib.util, json, sys\nout = {}\nfor name in sys.argv[1:]:\n"
             "    try:\n        found = importlib.util.find_spec(name)\n"
             "    except Exception:\n        found = None\n"
             "    out[name] = found.origin if found else None\nprint(json.dumps(out))\n")
    status, out, _ = run(["/usr/bin/python3", "-c", probe] + sorted(modules))
    if status != 0:
        return
    for name, origin in json.loads(out).items():
        if origin and os.path.isabs(origin):
            needs.add(origin, f"{modules[name]} imports {name}")
        elif origin is None and not os.path.isfile(os.path.join(ROOT, os.path.dirname(modules[name].split(' ')[0]), name + ".py")):
            PROBLEMS.append(f"{modules[name]} imports {name}, which /usr/bin/python3 does not find")


def collect_literals(needs, files):
    pattern = re.compile(r"(?<![A-Za-z0-9_$}./-])(/(?:usr|bin|sbin|lib|lib64)/[A-Za-z0-9_./+-]*[A-Za-z0-9_+-])")
    for f in files:
        if not re.search(r"\.(cpp|h|hpp|cmake|txt|sh|in|py|json)$|^\.ci/run$", f) or f in SCRIPTS_SKIPPED:
            continue
        if f.startswith(("docs/", "samples/", "fuzz/corpus/")):
            continue
        try:
            with open(os.path.join(ROOT, f), encoding="utf-8", errors="replace") as handle:
                for number, line in enumerate(handle, 1):
                    for m in pattern.finditer(line):
                        if os.path.isfile(m.group(1)):
                            needs.add(m.group(1), f"{f}:{number} names {m.group(1)}")
        except OSError:
            continue


def rel(path):
    return os.path.relpath(path, ROOT) if inside_tree(path) else path


# ---------------------------------------------------------------- packages

def spellings(path):
    """The ways dpkg may know a path: as named, with its folder's links
    resolved, and with /usr merged or not."""
    seen = []
    for p in (path, os.path.join(os.path.realpath(os.path.dirname(path)), os.path.basename(path))):
        for q in (p, re.sub(r"^/usr/(lib|lib32|lib64|libx32|bin|sbin)/", r"/\1/", p),
                  re.sub(r"^/(lib|lib32|lib64|libx32|bin|sbin)/", r"/usr/\1/", p)):
            if q not in seen:
                seen.append(q)
    return seen


def hops(path):
    """The path and every file its symbolic links pass through."""
    chain, current = [path], path
    for _ in range(20):
        if not os.path.islink(current):
            break
        target = os.readlink(current)
        current = os.path.normpath(os.path.join(os.path.dirname(current), target))
        chain.append(current)
    real = os.path.realpath(path)
    if real not in chain:
        chain.append(real)
    return chain


def owners(paths):
    """dpkg -S for many paths at once: {path: set of packages}."""
    found = {}
    paths = sorted(set(paths))
    for start in range(0, len(paths), 2000):
        _, out, _ = run(["dpkg", "-S"] + paths[start:start + 2000])
        for line in out.splitlines():
            if line.startswith(("diversion ", "local diversion")) or ": " not in line:
                continue
            packages, path = line.split(": ", 1)
            found.setdefault(path, set()).update(p.strip().split(":")[0] for p in packages.split(","))
    return found


def read_lists(folder):
    listed = {}
    for path in sorted(glob.glob(os.path.join(folder, "*.txt"))):
        with open(path, encoding="utf-8") as f:
            for line in f:
                for name in line.split("#", 1)[0].split():
                    listed.setdefault(name, os.path.basename(path))
    return listed


def present_packages(listed):
    """Packages a minimal Debian has after installing the lists: the listed,
    essential and required ones and what they depend on."""
    _, out, _ = run(["dpkg-query", "-W", "-f", "${Package}\t${Essential}\t${Priority}\n"], check=True)
    base = {p for p, essential, priority in (l.split("\t") for l in out.splitlines() if l.count("\t") == 2)
            if essential == "yes" or priority == "required"}
    roots = sorted(set(listed) | base)
    status, out, err = run(["apt-cache", "depends", "--recurse", "--important"] + roots)
    if status != 0 and not out:
        sys.exit(f"check-package-lists: apt-cache depends failed (run apt-get update?):\n{err}")
    # Each package's dependency groups; a group lists alternatives, each
    # alternative with the packages that provide it when it is virtual.
    graph, package, group, last = {}, None, None, None
    for line in out.splitlines():
        if not line.startswith(" "):
            package = line.strip().strip("<>")
            graph.setdefault(package, [])
            group = None
            continue
        m = re.match(r"^ (\||\s)(Pre)?Depends: (.+)$", line)
        if m and package is not None:
            name = m.group(3).strip()
            last = [name.strip("<>"), name.startswith("<"), []]
            if group is None:
                group = []
                graph[package].append(group)
            group.append(last)
            if m.group(1) != "|":
                group = None
            continue
        if line.startswith("    ") and last is not None:
            last[2].append(line.strip())
    present = set(roots)
    queue = list(roots)
    while queue:
        package = queue.pop()
        for group in graph.get(package, []):
            names = [a[0] for a in group] + [p for a in group for p in a[2]]
            if any(n in present for n in names):
                continue
            choice = None
            for name, virtual, providers in group:
                if not virtual:
                    choice = name
                elif providers:
                    choice = providers[0]
                if choice:
                    break
            if choice:
                present.add(choice)
                queue.append(choice)
    return present, base, graph


# -------------------------------------------------------------------- main

PROBLEMS = []


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--lists", default=os.path.join(ROOT, "scripts", "packages.d"))
    parser.add_argument("--without", action="append", default=[], metavar="PKG")
    parser.add_argument("--verbose", action="store_true")
    options = parser.parse_args()
    started = time.monotonic()

    builds = [os.path.join(ROOT, b) for b in BUILDS if os.path.isfile(os.path.join(ROOT, b, "build.ninja"))]
    if not any(b.endswith("build/ci") for b in builds):
        sys.exit("check-package-lists: build/ci is not built yet; run it after the builds")

    needs, links = Needs(), {}
    files = tracked_files()
    def timed(step, *arguments):
        begun = time.monotonic()
        step(*arguments)
        if options.verbose:
            where = rel(arguments[1]) if len(arguments) > 1 and isinstance(arguments[1], str) else ""
            print(f"time: {step.__name__} {where} {time.monotonic() - begun:.1f} s")

    for build in builds:
        timed(collect_headers, needs, build)
        timed(collect_commands, needs, build, links)
        timed(collect_cmake, needs, build)
        timed(collect_loaded, needs, build)
        timed(collect_tests, needs, build)
        if build.endswith(("build/ci", "build/mingw")):   # the two release.sh packs
            timed(collect_cpack, needs, build)
    timed(collect_scripts, needs, files)
    timed(collect_literals, needs, files)

    chains = {path: hops(path) for path in needs.files}
    names = {s for chain in chains.values() for hop in chain for s in spellings(hop)}
    owned = owners(names)

    listed = read_lists(options.lists)
    for name in options.without:
        listed.pop(name, None)
    present, base, graph = present_packages(listed)

    for name in sorted(listed):
        if name not in graph:
            PROBLEMS.append(f"{listed[name]} lists {name}, which apt does not know")

    missing, outside, unowned, used = {}, [], [], set()
    for path, why in sorted(needs.files.items()):
        # Every file on the way must be there (libz.so of zlib1g-dev, then
        # libz.so.1 of zlib1g); a file that several packages ship, from any.
        found = False
        for hop in chains[path]:
            for s in spellings(hop):
                if s in owned and owned[s] - OWN_PACKAGES:
                    packages = owned[s] - OWN_PACKAGES
                    found = True
                    used |= packages
                    if not packages & present:
                        shown = s if s == path else f"{s}, through {path}"
                        missing.setdefault(" or ".join(sorted(packages)), []).append((shown, why))
                    break
        if not found:
            if os.path.realpath(path).startswith(NOT_DEBIAN) or path.startswith(NOT_DEBIAN):
                outside.append((path, why))
            else:
                unowned.append((path, why))

    if options.verbose:
        for path, why in sorted(needs.files.items()):
            print(f"read: {path}  ({why})")
        for path, why in unowned:
            print(f"no package owns {path} ({why})")
    for path, why in outside:
        print(f"note: {path} is from no Debian package ({why}); a fresh machine reads another file instead")
    for problem in PROBLEMS:
        print(f"problem: {problem}")
    for package, files_needing in sorted(missing.items()):
        print(f"MISSING {package}: in no list under scripts/packages.d/ and pulled in by none, "
              f"but read:")
        for path, why in files_needing[:5]:
            print(f"    {path}  ({why})")
        if len(files_needing) > 5:
            print(f"    … and {len(files_needing) - 5} more files")
    print(f"package lists: {len(needs.files)} files from {len(used)} packages read by "
          f"{' '.join(rel(b) for b in builds)}, the tests, the release and {len(files)} tracked files; "
          f"{len(listed)} listed packages pull in {len(present)} "
          f"({len(base)} essential or required); {len(missing)} missing; "
          f"{time.monotonic() - started:.1f} s")
    return 1 if missing or PROBLEMS else 0


if __name__ == "__main__":
    sys.exit(main())
