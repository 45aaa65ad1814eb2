#!/usr/bin/env bash
# Installs what is missing, then configures and builds a preset: on Linux the program with its
# tests and benchmarks; with `windows` the Windows libraries, quenlark.exe and the test programs.
# Usage: scripts/build.sh [preset] [extra CMake configure arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-default}
shift || true

if [[ "$preset" == windows ]]; then
  scripts/setup.sh windows
else
  scripts/setup.sh run test
fi

cmake --preset "$preset" "$@"
cmake --build --preset "$preset"
