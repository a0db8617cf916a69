#!/usr/bin/env bash
# Maintainer check: proves that the README's two commands work on a freshly installed Debian 12.
# Builds a minimal root (debootstrap --variant=minbase bookworm), copies a clean clone of HEAD
# into it and runs, inside it as root, `scripts/run.sh` (every screenshot must appear, every
# program must end with status 0) and then `scripts/test.sh` (the suite must pass).
# Needs root, debootstrap and the Debian archive; takes about ten minutes.
#
#   scripts/check-fresh-machine.sh [--keep] [--cache DIR]
#
#   --keep       leave the root in place afterwards (its path is printed)
#   --cache DIR  keep the downloaded packages in DIR for the next run
#
# The archive is the one this machine's apt uses; MIRROR=URL overrides it.
set -euo pipefail

usage() {
  sed -n '2,13s/^# \{0,1\}//p' "$0"
}

keep=false
cache=
while [ $# -gt 0 ]; do
  case $1 in
    --keep) keep=true ;;
    --cache) [ $# -ge 2 ] || { echo "Error: --cache needs a folder (see --help)" >&2; exit 2; }
             cache=$(realpath -m "$2"); shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "Error: unknown argument '$1' (see --help)" >&2; exit 2 ;;
  esac
  shift
done

[ "$(id -u)" -eq 0 ] || { echo "Error: this check needs root (debootstrap and chroot)" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "Error: debootstrap is missing: apt-get install debootstrap" >&2; exit 1; }

root=$(cd "$(dirname "$0")/.." && pwd)

# The first archive address of the host's own apt sources, in either of Debian's two formats.
host_mirror() {
  local uri
  uri=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
        grep -v -- '-security' | head -n 1 || true)
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }' /etc/apt/sources.list)
  fi
  echo "$uri"
}
mirror=${MIRROR:-$(host_mirror)}
[ -n "$mirror" ] || { echo "Error: no Debian archive found in the apt sources; set MIRROR" >&2; exit 1; }

machine=$(mktemp -d /var/tmp/fresh-debian.XXXXXX)
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  if $keep; then
    echo "The root is kept in $machine"
  else
    rm -rf --one-file-system "$machine"
  fi
}
trap cleanup EXIT

echo "== debootstrap --variant=minbase bookworm into $machine (from $mirror)"
cache_option=()
if [ -n "$cache" ]; then
  mkdir -p "$cache"
  cache_option=(--cache-dir="$cache")
fi
debootstrap --variant=minbase "${cache_option[@]}" bookworm "$machine" "$mirror" >"$machine.debootstrap.log" 2>&1 ||
  { tail -n 20 "$machine.debootstrap.log" >&2; echo "Error: debootstrap failed" >&2; exit 1; }
rm -f "$machine.debootstrap.log"

echo "== clean clone of $(git -C "$root" rev-parse --short HEAD)"
git clone --quiet --no-hardlinks "$root" "$machine/project"
cp /etc/resolv.conf "$machine/etc/resolv.conf"
# The network's own certificate authorities, when it has any (an egress proxy that re-signs TLS):
# they belong to the network the machine sits on, not to the project, and Debian's
# ca-certificates package takes them in when the set-up installs it.
if compgen -G "/usr/local/share/ca-certificates/*.crt" > /dev/null; then
  mkdir -p "$machine/usr/local/share/ca-certificates"
  cp /usr/local/share/ca-certificates/*.crt "$machine/usr/local/share/ca-certificates/"
fi

for point in proc sys dev dev/pts; do
  mount --bind "/$point" "$machine/$point"
  mounted+=("$machine/$point")
done
if [ -n "$cache" ]; then
  mkdir -p "$cache/apt"
  mount --bind "$cache/apt" "$machine/var/cache/apt/archives"
  mounted+=("$machine/var/cache/apt/archives")
fi

inside() {
  env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C \
    chroot "$machine" /bin/bash -c "cd /project && $1"
}

echo "== scripts/run.sh /shots"
inside "scripts/run.sh /shots" 2>&1 | tee "$machine/run.log" ||
  { echo "Error: scripts/run.sh failed on the fresh machine" >&2; exit 1; }

failed=0
expected=(PackedAlphaPlane RawAlphaPlane StackedAlpha PatchTorus CellAutomaton)
for shot in $(seq 1 10); do expected+=("FormatCarousel-$shot"); done
for name in "${expected[@]}"; do
  if ! head -c 8 "$machine/shots/$name.png" 2>/dev/null | grep -q PNG; then
    echo "Error: no screenshot $name.png" >&2
    failed=1
  fi
done
[ -s "$machine/shots/ConfigLister.txt" ] || { echo "Error: no ConfigLister listing" >&2; failed=1; }
if grep -E "ended with status [1-9]" "$machine/run.log" >&2; then failed=1; fi
[ "$failed" -eq 0 ] || { echo "Error: scripts/run.sh did not leave every screenshot" >&2; exit 1; }
echo "Every screenshot is there: ${#expected[@]} PNG files and the configuration listing"

echo "== scripts/test.sh"
if ! inside "scripts/test.sh" >"$machine/test.log" 2>&1; then
  tail -n 40 "$machine/test.log"
  echo "Error: scripts/test.sh failed on the fresh machine" >&2
  exit 1
fi
grep -E '^== |tests passed|tests failed' "$machine/test.log"
echo "Fresh Debian 12: run and test passed"
