#!/usr/bin/env bash
# Fails, naming the files, when a tracked C++ file is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run -Werror "${files[@]}"; then
  echo "check-format.sh: run clang-format -i on the files above" >&2
  exit 1
fi
echo "check-format.sh: ${#files[@]} files formatted"
