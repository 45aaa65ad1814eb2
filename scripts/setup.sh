#!/usr/bin/env bash
# Installs, from Debian packages and only when missing, everything Quenlark needs to be
# built, run and tested. Safe to run any number of times.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config clang-format
  qt6-base-dev libgl-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  socat python3 python3-pymodbus python3-serial python3-serial-asyncio
)

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
