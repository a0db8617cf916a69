#!/usr/bin/env bash
# Installs what the build, the tests and the CI gates need on Debian 12, then configures and builds
# everything (programs, tools, generated assets, tests) into build/.
#
#   scripts/setup.sh [build-folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

packages=(
  build-essential cmake pkg-config
  libegl-dev libgles-dev libegl-mesa0 libgl1-mesa-dri   # EGL, OpenGL ES (pkg-config egl, glesv2); llvmpipe, softpipe
  libx11-dev libxtst-dev                               # the X11 platform; real input in the tests
  libpng-dev zlib1g-dev                                # PNG images; gzipped console fonts
  console-setup-linux                                  # the Terminus console font the text renderer's bitmap is made from
  googletest libgtest-dev                              # the test suite
  xvfb x11-utils mesa-utils etc1tool                   # headless X server; eglinfo, etc1tool, glxinfo for the tests
  clang libclang-rt-14-dev                             # the fuzz targets (libFuzzer, sanitizers): scripts/fuzz.sh
  clang-tidy clang-format                              # the CI gates (scripts/gates.sh)
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Error: missing packages; install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# KORVO_CMAKE_OPTIONS: further configure options, e.g. -DKORVO_WERROR=ON in CI.
# shellcheck disable=SC2086
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${KORVO_CMAKE_OPTIONS:-}
cmake --build "$build" -j"$(nproc)"
