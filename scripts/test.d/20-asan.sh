#!/usr/bin/env bash
# The whole Linux test suite built with AddressSanitizer (leak checks
# included) and UndefinedBehaviorSanitizer: any finding aborts its test and
# fails the stage. Third-party leaks are suppressed in
# tests/reliability/lsan.supp; our own code never is.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cd "$root"
bash scripts/build.sh asan
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0
ctest --preset asan -j "$(nproc)" 2>&1 | tee "$log" || status=$?
findings="$(grep -cE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$log" || true)"
echo "sanitizer findings: $findings"
[ "$status" -eq 0 ] && [ "$findings" -eq 0 ]
