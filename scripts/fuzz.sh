#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)
# into their own build folder and runs each for SECONDS (default 60), one after another,
# starting from its seed corpus. Any crash, leak, undefined behaviour, timeout or memory
# blow-up ends the script with status 1; the input that caused it is kept in
# <build-folder>/fuzz/findings/ (make it a regression test).
#
#   scripts/fuzz.sh [seconds] [build-folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${2:-$root/build-fuzz}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKORVO_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target fuzzers -j"$(nproc)"

fuzz="$build/fuzz"
mkdir -p "$fuzz/findings" "$fuzz/logs"
status=0
while read -r target; do
  corpus="$fuzz/corpus/$target"
  mkdir -p "$corpus"
  log="$fuzz/logs/$target.log"
  if "$fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$fuzz/findings/$target-" "$corpus" "$fuzz/seeds/$target" >"$log" 2>&1; then
    executions=$(grep -o 'number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')
    echo "$target: $executions executions in ${seconds} s, no finding"
  else
    echo "Error: $target found a fault (log: $log):" >&2
    grep -A30 -m1 -E '^==[0-9]+==|ERROR: libFuzzer|runtime error' "$log" >&2 || tail -40 "$log" >&2
    status=1
  fi
done <"$fuzz/targets.txt"
exit $status
