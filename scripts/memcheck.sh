#!/usr/bin/env bash
# Runs each windowed program under valgrind's memcheck on a private Xvfb server until it has
# presented FRAMES frames (default 300; CellAutomaton, which draws only every five seconds,
# three pictures), closes its window as a user would, and fails on any definite leak or memory
# error that tests/memcheck/mesa.supp does not assign to Mesa, libxcb or the loader. Needs a
# build (scripts/setup.sh) and valgrind; the reports land in <build-folder>/memcheck/.
#
#   scripts/memcheck.sh [frames] [build-folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
frames=${1:-300}
build=${2:-$root/build}
[[ "$frames" =~ ^[1-9][0-9]{0,4}$ ]] || { echo "Error: frames must be a number from 1 to 99999" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "Error: valgrind is missing: apt-get install valgrind" >&2; exit 1; }
shim=$build/tests/libfault-shim.so
[ -f "$shim" ] || { echo "Error: no fault shim in $build; run scripts/setup.sh first" >&2; exit 1; }
source "$root/scripts/xvfb.sh"

out=$build/memcheck
mkdir -p "$out"

programs=(
  "PackedAlphaPlane samples/OpenGL-ES-2.0/linux/PackedAlphaPlane $frames"
  "RawAlphaPlane samples/OpenGL-ES-2.0/linux/RawAlphaPlane $frames"
  "StackedAlpha samples/OpenGL-ES-2.0/linux/StackedAlpha $frames"
  "PatchTorus samples/OpenGL-ES-3.0/linux/PatchTorus $frames"
  "FormatCarousel samples/OpenGL-ES-3.0/linux/FormatCarousel $frames"
  "CellAutomaton samples/OpenGL-ES-3.0/linux/CellAutomaton 3"
)

presented() {
  local count
  count=$(grep -c '^eglSwapBuffers' "$1" 2>/dev/null || true)
  echo "${count:-0}"
}

# Frames are counted from the fault shim's call trace; the window is closed once enough came.
check_program() {
  local name=$1 folder=$2 wanted=$3
  local log=$out/$name.log trace=$out/$name.trace
  rm -f "$log" "$trace"
  start_xvfb
  (cd "$build/$folder" && LD_PRELOAD=$shim KORVO_SHIM_TRACE=$trace LP_NUM_THREADS=0 \
    exec valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
      -s --keep-debuginfo=yes --num-callers=40 --suppressions="$root/tests/memcheck/mesa.supp" \
      --error-exitcode=99 --log-file="$log" "./$name" 2>"$out/$name.stderr") &
  local program=$! waited=0
  while [ "$(presented "$trace")" -lt "$wanted" ] && kill -0 "$program" 2>/dev/null && [ $waited -lt 1800 ]; do
    sleep 1
    waited=$((waited + 1))
  done
  local count
  count=$(presented "$trace")
  "$build/tools/window-capture/window-shot" --output "$out/$name.png" --delay 0 --close >/dev/null 2>&1 || true
  local status=0
  wait "$program" || status=$?
  stop_xvfb
  local summary suppressed
  summary=$(grep -o 'ERROR SUMMARY: .*' "$log" | tail -n 1)
  suppressed=$(grep -o 'suppressed: [0-9,]* bytes in [0-9,]* blocks' "$log" | tail -n 1)
  echo "$name: $count frames, exit status $status; $summary; leaks $suppressed"
  [ "$status" -eq 0 ] && [ "$count" -ge "$wanted" ]
}

failed=0
for entry in "${programs[@]}"; do
  read -r name folder wanted <<<"$entry"
  check_program "$name" "$folder" "$wanted" || { echo "Error: $name failed under memcheck (see $out/$name.log)" >&2; failed=1; }
done
exit $failed
