#!/usr/bin/env bash
# Fails on any finding of clang-tidy's checks set in .clang-tidy over src/
# and standins/, and lists them with a count by check: bugs (bugprone-*,
# clang-analyzer-*), needless copies (performance-*), and functions longer
# than 60 lines or more complex than 25. A place clang cannot compile counts
# as a finding too (clang-diagnostic-error). Reads the compile commands of the
# builds the test command makes: build/ci for the Linux code, build/mingw for
# the Windows-only code (skipped, and said so, when that build is missing).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
[ -f build/ci/compile_commands.json ] || { echo "tidy: build/ci is not built" >&2; exit 2; }

# clang-tidy prints in colour whatever the output is; GCC's own warning
# flags in the commands are unknown to clang.
tidy() {
  run-clang-tidy -quiet -j "$(nproc)" -extra-arg=-Wno-unknown-warning-option "$@" 2>&1 |
    sed 's/\x1b\[[0-9;]*m//g' >>"$log" || true
}
tidy -p build/ci "^$root/(src|standins)/"
windows_only="^$root/(src/app/win32|src/automation/com|standins/com_servers)/"
if [ -f build/mingw/compile_commands.json ]; then
  # clang reads the mingw-w64 build with GCC's C++ headers for that target.
  cxx="$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | head -n 1)"
  tidy -p build/mingw -extra-arg=--target=x86_64-w64-mingw32 -extra-arg="-isystem$cxx" \
    -extra-arg="-isystem$cxx/x86_64-w64-mingw32" "$windows_only"
else
  echo "tidy: build/mingw is not built: the Windows-only code is not checked"
fi

findings="$(grep -E '^/.*(warning|error): .*\[[a-z-]+[a-z.,-]*\]$' "$log" | sort -u || true)"
if [ -n "$findings" ]; then
  echo "$findings"
  echo "$findings" | sed -E 's/.*\[([^]]*)\]$/\1/' | sort | uniq -c | sort -rn
  echo "tidy: $(echo "$findings" | wc -l) findings"
  exit 1
fi
echo "tidy: no findings in $(grep -c '^clang-tidy' "$log") files"
