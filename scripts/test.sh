#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh), then runs the whole test suite under a private
# Xvfb server: the unit tests once, then the GL and end-to-end tests once per Mesa driver
# found (llvmpipe and softpipe, two independent rasterisers), or once on the machine's own
# driver where Mesa's software drivers are not installed.
#
#   scripts/test.sh [build-folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/setup.sh" "$build"

source "$root/scripts/xvfb.sh"
start_xvfb
trap stop_xvfb EXIT

# The Mesa drivers that GALLIUM_DRIVER can select here: each names itself in the renderer string.
mesa_drivers() {
  local driver
  for driver in llvmpipe softpipe; do
    if GALLIUM_DRIVER=$driver glxinfo -B 2>/dev/null | grep -q "OpenGL renderer string: $driver"; then
      echo "$driver"
    fi
  done
}

cd "$build"
failed=0
echo "== unit tests"
ctest --output-on-failure -j"$(nproc)" -L unit || failed=1
drivers=$(mesa_drivers)
if [ -z "$drivers" ]; then
  echo "== GL and end-to-end tests on the default driver"
  ctest --output-on-failure -j"$(nproc)" -L 'gl|e2e' || failed=1
fi
for driver in $drivers; do
  echo "== GL and end-to-end tests on $driver"
  GALLIUM_DRIVER=$driver ctest --output-on-failure -j"$(nproc)" -L 'gl|e2e' || failed=1
done
exit $failed
