#!/usr/bin/env bash
# Installs what is missing, builds Quenlark and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

cmake --preset default
cmake --build --preset default
program=build/default/src/app/quenlark
if [[ -x "$program" ]]; then
  exec "$program" "$@"
fi
echo "Built. The windows are not part of this build yet, so there is nothing to start."
