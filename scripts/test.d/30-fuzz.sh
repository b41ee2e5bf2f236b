#!/usr/bin/env bash
# Bounded fuzzing: builds the libFuzzer targets under fuzz/ with clang
# (AddressSanitizer and UndefinedBehaviorSanitizer included) and runs each for
# its turn from its seed corpus. The targets and their turns (seconds) come
# from the build's targets.txt, which fuzz/CMakeLists.txt writes. Any crash,
# sanitizer report or broken property fails the stage. FUZZ_SECONDS, when
# set, gives every target that turn instead.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cd "$root"
build="$root/build/fuzz"
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
total=0
while read -r target turn; do
  seconds="${FUZZ_SECONDS:-$turn}"
  # New inputs go to a scratch copy; the seed corpus in the tree stays as it is.
  mkdir -p "$work/$target" "$work/artifacts/$target"
  cp fuzz/corpus/"$target"/* "$work/$target/"
  log="$work/$target.log"
  if "$build/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
      -rss_limit_mb=2048 -artifact_prefix="$work/artifacts/$target/" "$work/$target" </dev/null >"$log" 2>&1; then
    result="ok"
  else
    result="FAILED"
    failed=1
  fi
  units="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  total=$((total + ${units:-0}))
  printf '%-16s %-6s %10s inputs executed\n' "$target" "$result" "${units:-0}"
  if [ "$result" != ok ]; then
    grep -E 'check failed|ERROR|SUMMARY|what\(\)' "$log" | head -20 || true
    for artifact in "$work/artifacts/$target"/*; do
      [ -e "$artifact" ] || continue
      echo "  failing input (base64): $(base64 -w0 "$artifact")"
    done
  fi
done <"$build/targets.txt"
printf '%-16s %-6s %10s inputs executed\n' "all" "" "$total"
exit "$failed"
