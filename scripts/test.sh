#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh), then runs the whole test suite under a private
# Xvfb server: unit tests, GL tests on Mesa's llvmpipe, end-to-end tests of the programs.
#
#   scripts/test.sh [build-folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/setup.sh" "$build"

source "$root/scripts/xvfb.sh"
start_xvfb
trap stop_xvfb EXIT

cd "$build"
ctest --output-on-failure -j"$(nproc)"
