#!/usr/bin/env bash
# Installs, from Debian packages and only when missing, what Quenlark needs for the named
# purposes. Safe to run any number of times.
# Usage: scripts/setup.sh [purpose...]   (purposes: run, test, windows, fuzz, demo, package;
#                                           default: run test)
set -euo pipefail

# Building and running the program.
run_packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev fonts-dejavu-core)
# Building and running the test suite and the benchmarks.
test_packages=(
  clang-format libgtest-dev libgmock-dev libbenchmark-dev
  socat python3 python3-pymodbus python3-serial python3-serial-asyncio
)
# Cross-building the Windows program and running its tests under Wine: GoogleTest is built
# from its source, python3 holds the pseudo-terminals that stand for COM ports and makes the
# program's icon, Xvfb gives Wine a display, xdotool types into quenlark.exe's windows and
# ImageMagick keeps screenshots of them.
windows_packages=(
  cmake ninja-build g++-mingw-w64-x86-64-posix googletest
  wine wine64 libwine fonts-wine xvfb python3 xdotool imagemagick
)
# Building and running the fuzz targets: clang, its libFuzzer runtime, and llvm-symbolizer for
# readable stack traces of a finding.
fuzz_packages=(clang libclang-rt-dev llvm)
# The demo device of scripts/demo.sh: the tests' Modbus slave behind a pty pair.
demo_packages=(socat python3 python3-pymodbus python3-serial python3-serial-asyncio)
# Making and checking the Debian package (scripts/package.sh).
package_packages=(dpkg-dev file mandoc appstream lintian)

purposes=("$@")
((${#purposes[@]} > 0)) || purposes=(run test)

packages=()
for purpose in "${purposes[@]}"; do
  case "$purpose" in
    run) packages+=("${run_packages[@]}") ;;
    test) packages+=("${test_packages[@]}") ;;
    windows) packages+=("${windows_packages[@]}") ;;
    fuzz) packages+=("${fuzz_packages[@]}") ;;
    demo) packages+=("${demo_packages[@]}") ;;
    package) packages+=("${package_packages[@]}") ;;
    *)
      echo "setup.sh: unknown purpose '$purpose'" >&2
      exit 2
      ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
