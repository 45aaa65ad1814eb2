#!/usr/bin/env bash
# Runs a command beside a fresh Wine prefix at $WINEPREFIX (a folder inside the build folder),
# a wineserver that stays up for the whole command and an Xvfb display for the windows;
# afterwards, also when the command fails or is interrupted, stops the wineserver and the
# display and removes the prefix.
# Usage: WINEPREFIX=<project>/build/<folder>/... scripts/wine-session.sh command [argument...]
set -euo pipefail

: "${WINEPREFIX:?must name the Wine prefix folder}"
# The prefix is removed afterwards: only ever a folder inside the build folder.
build=$(realpath -m "$(dirname "$0")/../build")
prefix=$(realpath -m "$WINEPREFIX")
[[ "$WINEPREFIX" == /* && "$prefix" == "$build"/?*/?* ]] || {
  echo "wine-session.sh: WINEPREFIX must be a folder inside $build/<build folder>" >&2
  exit 2
}
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No menu entries or file associations in the home folder, no Mono or Gecko installers.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

readonly wine_bin=/usr/lib/wine

xvfb_pid=
display_file=$(mktemp)
# Where tests/support/wine_start_again.sh notes the programs Wine failed to start.
QUENLARK_WINE_RESTARTS=$(mktemp)
export QUENLARK_WINE_RESTARTS

stop() {
  "$wine_bin/wineserver" -k >/dev/null 2>&1 || true
  "$wine_bin/wineserver" -w >/dev/null 2>&1 || true
  if [[ -n "$xvfb_pid" ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [[ -s "$QUENLARK_WINE_RESTARTS" ]]; then
    echo "wine-session.sh: programs Wine failed to start, started again:" >&2
    cat "$QUENLARK_WINE_RESTARTS" >&2
  fi
  rm -f "$display_file" "$QUENLARK_WINE_RESTARTS"
  rm -rf "$WINEPREFIX"
}
trap stop EXIT

# A display of its own: Xvfb picks a free number and writes it once it takes clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s "$display_file" ]] && break
  sleep 0.1
done
[[ -s "$display_file" ]] || { echo "wine-session.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$display_file")"

"$wine_bin/wineserver" -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# Persistent and with every output to /dev/null: the server and the helpers the first program
# starts (services, device drivers) outlive each program, and holding the test runner's
# output pipe they would keep it waiting for ever.
"$wine_bin/wineserver" -p >/dev/null 2>&1
"$wine_bin/wine64" wineboot --init >/dev/null 2>&1
# Dialogs in the fonts Windows has (else another face stands in): Wine's own, and for Courier
# New, which Wine lacks, Liberation Mono, whose characters are as wide. Window frames drawn by
# Wine itself, as on Windows, since no window manager runs on the display.
cp /usr/share/wine/fonts/* /usr/share/fonts/truetype/liberation2/LiberationMono-*.ttf \
  "$WINEPREFIX/drive_c/windows/Fonts/"
"$wine_bin/wine64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' \
  /d 'Liberation Mono' /f >/dev/null 2>&1
"$wine_bin/wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# The desktop's process ends with the last window on it, and each program that makes a window
# then starts it anew, which waits some ten seconds for a service Wine does not start here: a
# window kept on the desktop, minimised and out of the way, holds it for the whole session.
"$wine_bin/wine64" start /min notepad.exe >/dev/null 2>&1

"$@"
