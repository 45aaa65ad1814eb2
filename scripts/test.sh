#!/usr/bin/env bash
# Installs what is missing, builds Quenlark with its tests and runs the whole suite.
# Usage: scripts/test.sh [preset] [extra CMake configure arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run test

preset=${1:-default}
shift || true

cmake --preset "$preset" "$@"
cmake --build --preset "$preset"
ctest --preset "$preset" --parallel 2
