#!/usr/bin/env bash
# Measures what the Linux tests catch: applies each deliberate fault of
# scripts/mutation/faults.tsv to a private copy of the tree, one at a time,
# rebuilds, runs the tests and says which of them failed.
#
#   bash scripts/mutation.sh [--only REGEX] [--keep] [--list FILE] [--windows]
#
# --only REGEX  only the faults whose line matches REGEX (file or words)
# --keep        keep the copy (its path is printed) for a closer look
# --list FILE   another list of faults in the same form
# --windows     the Windows build and its tests under wine instead
#               (scripts/mutation/windows.tsv unless --list is given)
#
# The checkout is never changed: the copy holds the tracked and untracked
# files as they are in the working tree now, uncommitted changes included.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
list="$root/scripts/mutation/faults.tsv"
only=""
keep=0
preset=ci
jobs="$(nproc)"
cap=120
windows=0
while [ $# -gt 0 ]; do
  case "$1" in
    --only) only="$2"; shift 2 ;;
    --keep) keep=1; shift ;;
    --list) list="$(realpath "$2")"; shift 2 ;;
    --windows) windows=1; shift ;;
    *) echo "usage: $0 [--only REGEX] [--keep] [--list FILE] [--windows]" >&2; exit 2 ;;
  esac
done
if [ "$windows" = 1 ]; then
  # One at a time: the wine tests start servers that the one prefix shares.
  preset=mingw jobs=1 cap=240
  [ "$list" != "$root/scripts/mutation/faults.tsv" ] || list="$root/scripts/mutation/windows.tsv"
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/velmora-mutation.XXXXXX")"
# The wine tests leave the prefix's server running: stop it with the run.
stop_wine() {
  local prefix="$work/build/mingw/wineprefix"
  [ -d "$prefix" ] && WINEPREFIX="$prefix" timeout 30 wineserver -k 2>/dev/null || true
}
if [ "$keep" = 1 ]; then trap stop_wine EXIT; else trap 'stop_wine; rm -rf "$work"' EXIT; fi
cd "$root"
git ls-files -z -c -o --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  tar --null -T - -cf - | tar -xf - -C "$work"
cd "$work"

# Warnings are not errors here: a fault may leave a variable unused.
echo "== building the copy in $work"
cmake --preset "$preset" -DVELMORA_WERROR=OFF -DVELMORA_BENCH=OFF >build.log 2>&1
cmake --build --preset "$preset" -j "$(nproc)" >>build.log 2>&1 || { tail -30 build.log; exit 1; }

# The whole suite takes seconds. A fault that makes a test loop is caught
# by the clock: tests' own TIMEOUT properties (up to 120 s) win over
# ctest's --timeout, so the run as a whole is cut after 120 s (wine: 240 s).
run_tests() {
  local status=0
  timeout -k 5 "$cap" ctest --preset "$preset" -j "$jobs" --timeout 60 >"$work/ctest.log" 2>&1 ||
    status=$?
  [ "$status" = 0 ] && return 0
  # The names of the tests that failed, on one line.
  {
    sed -En 's/^[[:space:]]*[0-9]+ - (.*) \([A-Za-z *]+\)$/\1/p' "$work/ctest.log"
    [ "$status" != 124 ] || echo "(a test still running after $cap s)"
  } | paste -sd ' ' -
  return 1
}
if ! failed=$(run_tests); then
  echo "The tests fail without any fault: $failed" >&2
  exit 1
fi

# Applies a fault (or takes it back) in place; exit 3 when the text is not
# found exactly once. The file gets a new time either way, so the next build
# recompiles it.
edit() {
  /usr/bin/python3 - "$@" <<'EOF'
import sys
path, old, new = sys.argv[1], sys.argv[2], sys.argv[3]
old, new = old.replace("⏎", "\n"), new.replace("⏎", "\n")
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit(3)
open(path, "w", encoding="utf-8").write(text.replace(old, new))
EOF
}

total=0
caught=0
results="$work/results.tsv"
: >"$results"
tab=$'\t'
while IFS= read -r line; do
  case "$line" in ''|'#'*) continue ;; esac
  # Split by hand: read would fold the two tabs around an empty replacement.
  file=${line%%"$tab"*} rest=${line#*"$tab"}
  old=${rest%%"$tab"*} rest=${rest#*"$tab"}
  new=${rest%%"$tab"*} what=${rest#*"$tab"}
  if [ -n "$only" ] && ! printf '%s\t%s\n' "$file" "$what" | grep -Eq -- "$only"; then continue; fi
  total=$((total + 1))
  cp "$file" "$work/original"
  if ! edit "$file" "$old" "$new"; then
    verdict="stale (text not found once)"
  elif ! cmake --build --preset "$preset" -j "$(nproc)" >"$work/fault-build.log" 2>&1; then
    verdict="does not build"
  elif failed=$(run_tests); then
    verdict="MISSED"
  else
    verdict="caught by: $failed"
    caught=$((caught + 1))
  fi
  cat "$work/original" >"$file"  # new time: rebuilt with the next fault
  printf '%-4s %s — %s: %s\n' "$total" "$file" "$what" "$verdict"
  printf '%s\t%s\t%s\n' "$file" "$what" "$verdict" >>"$results"
done <"$list"

echo "caught $caught of $total"
[ "$keep" = 1 ] && echo "copy kept in $work (results.tsv)"
exit 0
