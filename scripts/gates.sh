#!/usr/bin/env bash
# The CI gates beside the test suite, on a tree that scripts/setup.sh has set up:
#   1. the format check (clang-format, .clang-format) and the constants' names,
#   2. clang-tidy on every source file (.clang-tidy), with the build's compile_commands.json,
#   3. the whole suite once more, built with AddressSanitizer and UndefinedBehaviorSanitizer
#      (the asan preset, into build-asan/).
#
#   scripts/gates.sh [build-folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
jobs=$(nproc)
cd "$root"

step() { echo "== $1 ($(date -u +%H:%M:%S))"; }

step "format check"
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

step "constant names"
# One convention for constants: lowerCamel like every other variable (clang-tidy checks the
# case), so the old kConstant prefix is refused here.
if git grep -nE '\bk[A-Z][A-Za-z0-9]*\b' -- '*.c' '*.cpp' '*.h'; then
  echo "Error: the constants above carry a k prefix; name them in lowerCamel" >&2
  exit 1
fi

step "clang-tidy"
[ -f "$build/compile_commands.json" ] || { echo "Error: no $build/compile_commands.json; run scripts/setup.sh first" >&2; exit 1; }
mapfile -t sources < <(git ls-files '*.c' '*.cpp')
run-clang-tidy -quiet -p "$build" -j "$jobs" "${sources[@]/#/$root/}" > "$build/clang-tidy.log" 2>&1 || {
  grep -E 'warning:|error:' -A3 "$build/clang-tidy.log" >&2 || cat "$build/clang-tidy.log" >&2
  echo "Error: clang-tidy found the problems above" >&2
  exit 1
}

step "suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan > /dev/null
cmake --build --preset asan -j "$jobs"
source "$root/scripts/xvfb.sh"
start_xvfb
trap stop_xvfb EXIT
# The sanitizers write their reports to build-asan/asan.<pid> and ubsan.<pid> (so that a test
# that checks a program's exact standard error is not disturbed by a warning) and end a program
# that they catch with status 86 or 87. The reports are shown when a test fails.
rm -f "$root"/build-asan/asan.* "$root"/build-asan/ubsan.*
ctest --preset asan -j "$jobs" || {
  cat "$root"/build-asan/asan.* "$root"/build-asan/ubsan.* 2>/dev/null >&2 || true
  echo "Error: the suite failed under the sanitizers" >&2
  exit 1
}
step "gates passed"
