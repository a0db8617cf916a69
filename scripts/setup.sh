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
  nodejs curl ca-certificates                          # ktx-parse, the independent KTX2 reader the tests use
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

# ktx-parse, an independent KTX2 reader from the npm registry that the tests check etctool's KTX2
# files against: one pinned version (no dependencies of its own), its tarball checked against
# the registry's sha512 before it is unpacked into .deps/ktx-parse (git ignores it; every build
# folder finds it there).
ktx_parse_version=2.0.0
ktx_parse_sha512=3d6dfc8ba48165a804edce32098aeeeb7e8808292127c14d8cecc07631a40bae4167480495026f15e9d219ceb6487163e458347edf94dfc3cf84c66c59840b0a
ktx_parse_dir=$root/.deps/ktx-parse
if [ "$(cat "$ktx_parse_dir/version" 2>/dev/null)" != "$ktx_parse_version" ]; then
  echo "Fetching ktx-parse $ktx_parse_version"
  download=$(mktemp)
  trap 'rm -f "$download"' EXIT
  curl -fsSL --retry 3 -o "$download" "https://registry.npmjs.org/ktx-parse/-/ktx-parse-$ktx_parse_version.tgz"
  if ! echo "$ktx_parse_sha512  $download" | sha512sum -c --status; then
    echo "Error: the ktx-parse $ktx_parse_version tarball does not have the pinned sha512" >&2
    exit 1
  fi
  rm -rf "$ktx_parse_dir.partial"
  mkdir -p "$ktx_parse_dir.partial"
  tar -xzf "$download" -C "$ktx_parse_dir.partial"
  echo "$ktx_parse_version" >"$ktx_parse_dir.partial/version"
  rm -rf "$ktx_parse_dir"
  mv "$ktx_parse_dir.partial" "$ktx_parse_dir"
fi

# KORVO_CMAKE_OPTIONS: further configure options, e.g. -DKORVO_WERROR=ON in CI.
# shellcheck disable=SC2086
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${KORVO_CMAKE_OPTIONS:-}
cmake --build "$build" -j"$(nproc)"
