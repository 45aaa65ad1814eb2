#!/usr/bin/env bash
# Runs a command beside a fresh Wine prefix at $WINEPREFIX (a folder inside the build folder)
# and a wineserver that stays up for the whole command; afterwards, also when the command
# fails or is interrupted, stops the wineserver and removes the prefix.
# Usage: WINEPREFIX=/absolute/folder scripts/wine-session.sh command [argument...]
set -euo pipefail

: "${WINEPREFIX:?must name the Wine prefix folder}"
[[ "$WINEPREFIX" == /* ]] || { echo "wine-session.sh: WINEPREFIX must be absolute" >&2; exit 2; }
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
# No menu entries or file associations in the home folder, no Mono or Gecko installers.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

readonly wine_bin=/usr/lib/wine

stop() {
  "$wine_bin/wineserver" -k >/dev/null 2>&1 || true
  "$wine_bin/wineserver" -w >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap stop EXIT

"$wine_bin/wineserver" -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# Persistent and with every output to /dev/null: the server and the helpers the first program
# starts (services, device drivers) outlive each program, and holding the test runner's
# output pipe they would keep it waiting for ever.
"$wine_bin/wineserver" -p >/dev/null 2>&1
"$wine_bin/wine64" wineboot --init >/dev/null 2>&1

"$@"
