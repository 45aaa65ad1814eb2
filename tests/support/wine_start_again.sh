#!/usr/bin/env bash
# Runs a Windows test program's command for CTest, its output passed through as it comes.
# Now and then Wine fails to start a program at all: it ends at once with an error status and
# has printed nothing (seen in CI, once in some thousands of starts, with nothing on either
# stream to say why). A test program always prints before its first test runs, so such a start
# is made once more and noted in the session's log (scripts/wine-session.sh shows it at the
# end). A program that printed anything ends the test as it ended.
# Usage: wine_start_again.sh command [argument...]
set -uo pipefail

output=$(mktemp)
trap 'rm -f "$output"' EXIT
for attempt in 1 2; do
  "$@" | tee "$output"
  status=${PIPESTATUS[0]}
  if [[ $status == 0 || -s "$output" || $attempt == 2 ]]; then
    exit "$status"
  fi
  if [[ -n "${QUENLARK_WINE_RESTARTS:-}" ]]; then
    echo "$(date +%T) ended with status $status before printing anything, started again: $*" \
      >>"$QUENLARK_WINE_RESTARTS"
  fi
done
