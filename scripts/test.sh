#!/usr/bin/env bash
# Installs what is missing, builds Quenlark with its tests and runs the whole suite; with
# `windows`, the Windows test programs run under Wine in a fresh prefix inside the build folder.
# Usage: scripts/test.sh [preset] [extra CMake configure arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh "$@"

preset=${1:-default}
if [[ "$preset" == windows ]]; then
  WINEPREFIX="$PWD/build/windows/wine" scripts/wine-session.sh \
    ctest --preset windows --parallel 2 --timeout 300
else
  ctest --preset "$preset" --parallel 2
fi
