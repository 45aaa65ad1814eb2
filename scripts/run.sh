#!/usr/bin/env bash
# Installs what is missing, builds Quenlark and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run

cmake --preset default
cmake --build --preset default
exec build/default/src/app/quenlark "$@"
