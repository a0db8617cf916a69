#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh), then runs every program that has been built.
# On a desktop (a reachable $DISPLAY) the windowed programs run one after another: close
# each window (or click into it) to go on. Without a display each runs for a few seconds under
# a private Xvfb server and leaves a PNG screenshot of its window (FormatCarousel ten, numbered
# five seconds apart), and ConfigLister its listing, in the output folder.
#
#   scripts/run.sh [output-folder]     (default: screenshots/)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
output=$(realpath -m "${1:-$root/screenshots}")
"$root/scripts/setup.sh" "$build"
source "$root/scripts/xvfb.sh"

# Program, its build folder, and how to photograph it: shots, seconds between shots.
programs=(
  "PackedAlphaPlane samples/OpenGL-ES-2.0/linux/PackedAlphaPlane 1 0"
  "RawAlphaPlane samples/OpenGL-ES-2.0/linux/RawAlphaPlane 1 0"
  "StackedAlpha samples/OpenGL-ES-2.0/linux/StackedAlpha 1 0"
  "PatchTorus samples/OpenGL-ES-3.0/linux/PatchTorus 1 0"
  "CellAutomaton samples/OpenGL-ES-3.0/linux/CellAutomaton 1 0"
  "FormatCarousel samples/OpenGL-ES-3.0/linux/FormatCarousel 10 5"
)

on_desktop() {
  [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

run_on_desktop() {
  local name=$1 folder=$2
  echo "== $name (close the window to go on)"
  (cd "$build/$folder" && "./$name") || echo "$name ended with status $?"
}

run_headless() {
  local name=$1 folder=$2 count=$3 every=$4
  echo "== $name"
  start_xvfb
  (cd "$build/$folder" && exec "./$name" 2>"$output/$name.log") &
  local program=$!
  "$build/tools/window-capture/window-shot" --output "$output/$name.png" --delay 2.5 \
    --count "$count" --every "$every" --close || true
  local status=0
  wait "$program" || status=$?
  echo "$name ended with status $status (its messages: $output/$name.log)"
  stop_xvfb
}

list_configs() {
  echo "== ConfigLister"
  if on_desktop; then
    "$build/tools/ConfigLister/ConfigLister"
  else
    start_xvfb
    "$build/tools/ConfigLister/ConfigLister" 2>"$output/ConfigLister.txt" || true
    stop_xvfb
    echo "listing: $output/ConfigLister.txt"
  fi
}

desktop=false
on_desktop && desktop=true
$desktop || mkdir -p "$output"
list_configs
for entry in "${programs[@]}"; do
  read -r name folder count every <<<"$entry"
  [ -x "$build/$folder/$name" ] || continue
  if $desktop; then
    run_on_desktop "$name" "$folder"
  else
    run_headless "$name" "$folder" "$count" "$every"
  fi
done
$desktop || echo "Screenshots and listings are in $output"
