#!/usr/bin/env bash
# Installs, from Debian packages and only when missing, what Quenlark needs for the named
# purposes. Safe to run any number of times.
# Usage: scripts/setup.sh [purpose...]   (purposes: run, test, windows, fuzz, demo, package;
#                                           default: run test)
set -euo pipefail

# Building and running the program.
run_packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev fonts-dejavu-core)
# Building and running the test suite and the benchmarks, with the fonts of a Debian desktop
# (the suite must hold where users' machines are); the accessibility bus, its Python client
# and an X display for reading the log as a screen reader does.
test_packages=(
  clang-format libgtest-dev libgmock-dev libbenchmark-dev
  socat python3 python3-pymodbus python3-serial python3-serial-asyncio
  fonts-noto-mono fonts-dejavu fonts-liberation2
  at-spi2-core python3-pyatspi dbus-daemon xvfb
)
# Cross-building the Windows program and running its tests under Wine: GoogleTest is built
# from its source, python3 holds the pseudo-terminals that stand for COM ports and makes the
# program's icon, Xvfb gives Wine a display, xdotool types into quenlark.exe's windows and
# ImageMagick keeps screenshots of them. Liberation Mono stands in for Courier New in the Wine
# prefix, and Wine takes the user's language from a locale the system must have: the tests
# run one in Russian.
windows_packages=(
  cmake ninja-build g++-mingw-w64-x86-64-posix googletest
  wine wine64 libwine fonts-wine fonts-liberation2 xvfb python3 xdotool imagemagick locales
)
windows_locales=(ru_RU.UTF-8)
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
locales=()
for purpose in "${purposes[@]}"; do
  case "$purpose" in
    run) packages+=("${run_packages[@]}") ;;
    test) packages+=("${test_packages[@]}") ;;
    windows)
      packages+=("${windows_packages[@]}")
      locales+=("${windows_locales[@]}")
      ;;
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

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
fi
if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Each locale as Debian keeps it: listed in /etc/locale.gen, made by locale-gen.
for name in "${locales[@]}"; do
  locale -a | grep -qix "${name/UTF-8/utf8}" && continue
  echo "Generating the locale $name"
  "${sudo[@]}" sed -i "s/^# *\($name .*\)/\1/" /etc/locale.gen
  grep -q "^$name " /etc/locale.gen || echo "$name UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen
done
