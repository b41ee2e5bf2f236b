#!/usr/bin/env bash
# Runs the README's test command on a fresh minimal Debian 12, as a new user
# would: makes one with `debootstrap --variant=minbase bookworm` in a folder
# under /tmp, clones this checkout's HEAD into it, and runs the command there
# as root with CI=true (proc, sys and dev bound in, /etc/resolv.conf copied).
# The fresh system reaches Debian's archive through this machine's own apt
# sources: the same mirrors, suites and components. Reports the time and the
# result, and removes all it made, however it ends (--keep keeps the folder;
# a failed run keeps its log, /tmp/velmora-fresh.*.log).
# The command runs with LANG=C.UTF-8, as on this machine and CI (scripts/test.sh
# sets the same where a system sets no locale).
# Needs root; installs debootstrap when it is missing. Not part of the test
# command: it takes a while. Run it whenever scripts/packages.d/ changes.
# Usage: [nice] bash scripts/check-fresh-debian.sh [--keep]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
keep=0
[ "${1:-}" = --keep ] && keep=1
[ "$(id -u)" -eq 0 ] || { echo "check-fresh-debian: run it as root" >&2; exit 2; }
suite=bookworm

# The README's test command: the first sh block after "**Run every test**".
command="$(awk '/^\*\*Run every test\*\*/ { found = 1 } found && /^```sh/ { inside = 1; next }
                inside && /^```/ { exit } inside { print }' "$root/README.md")"
[ -n "$command" ] || { echo "check-fresh-debian: no test command in README.md" >&2; exit 2; }

# This machine's Debian entries for the suite and its updates and security
# suites: "URI SUITE COMPONENT".
mapfile -t entries < <(apt-get indextargets --format '$(TARGET_OF) $(REPO_URI) $(RELEASE) $(COMPONENT)' |
  awk -v s="$suite" '$1 == "deb" && ($3 == s || index($3, s "-") == 1) { print $2, $3, $4 }' | sort -u)
mirror="$(printf '%s\n' "${entries[@]}" | awk -v s="$suite" '$2 == s { print $1; exit }')"
if [ -z "$mirror" ]; then
  echo "check-fresh-debian: this machine's apt sources have no '$suite' entry to make the system from" >&2
  exit 2
fi

if ! command -v debootstrap >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null 2>&1
fi

work="$(mktemp -d /tmp/velmora-fresh.XXXXXX)"
target="$work/debian"
log="/tmp/$(basename "$work").log"
mounted=()

# Ends what still runs inside the fresh system (by process id, those whose
# root is the folder), unmounts, and removes the folder only when nothing is
# mounted under it any more.
cleanup() {
  local status=$? pid tries mount
  trap - EXIT INT TERM HUP
  for tries in 1 2 3; do
    local inside=()
    for pid in /proc/[0-9]*; do
      [ "$(readlink "$pid/root" 2>/dev/null)" = "$target" ] && inside+=("${pid#/proc/}")
    done
    [ ${#inside[@]} -eq 0 ] && break
    kill -TERM "${inside[@]}" 2>/dev/null || true
    sleep 2
    [ "$tries" = 3 ] && kill -KILL "${inside[@]}" 2>/dev/null || true
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R "${mounted[$i]}" 2>/dev/null || umount -R -l "${mounted[$i]}" 2>/dev/null || true
  done
  # Anything still mounted below the folder (in reverse order of mounting).
  while read -r mount; do
    umount -l "$mount" 2>/dev/null || true
  done < <(awk -v t="$target/" 'index($5, t) == 1 { print $5 }' /proc/self/mountinfo | sort -r)
  if awk -v t="$target/" 'index($5, t) == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then
    echo "check-fresh-debian: something is still mounted under $target; left in place" >&2
  elif [ "$keep" = 1 ]; then
    echo "kept: $work"
  else
    rm -rf --one-file-system "$work"
  fi
  # The log stays only when the run failed.
  if [ "$status" -eq 0 ] && [ "$keep" = 0 ]; then rm -f "$log"; fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

started=$SECONDS
echo "== fresh Debian: debootstrap --variant=minbase $suite from $mirror into $target (log: $log)"
debootstrap --variant=minbase "$suite" "$target" "$mirror" >"$log" 2>&1 ||
  { tail -20 "$log"; echo "check-fresh-debian: debootstrap failed" >&2; exit 1; }
made=$((SECONDS - started))
printf 'deb %s\n' "${entries[@]}" >"$target/etc/apt/sources.list"
cp /etc/resolv.conf "$target/etc/resolv.conf"
git clone -q --no-hardlinks "$root" "$target/root/velmora"
echo "== cloned $(git -C "$root" rev-parse --short HEAD) into /root/velmora"

mounted+=("$target/proc")
mount -t proc proc "$target/proc"
mounted+=("$target/sys")
mount --rbind /sys "$target/sys"
mount --make-rslave "$target/sys"
mounted+=("$target/dev")
mount --rbind /dev "$target/dev"
mount --make-rslave "$target/dev"

echo "== running the README's test command as root, CI=true: $command"
tested=$SECONDS
status=0
chroot "$target" /usr/bin/env -i HOME=/root USER=root LOGNAME=root TERM=dumb CI=true LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  /bin/bash -c "cd /root/velmora && $command" </dev/null 2>&1 | tee -a "$log" || status=$?
took=$((SECONDS - tested))
fmt() { printf '%d min %02d s' $(($1 / 60)) $(($1 % 60)); }
if [ "$status" -eq 0 ]; then result=PASSED; else result="FAILED (exit $status)"; fi
echo "== fresh Debian 12: $result; the test command took $(fmt "$took"), making the system $(fmt "$made"), $(fmt $((SECONDS - started))) in all"
[ "$status" -eq 0 ] || echo "== the log is kept: $log"
exit "$status"
