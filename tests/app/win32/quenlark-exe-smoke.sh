#!/usr/bin/env bash
# Runs quenlark.exe itself under Wine as a user does, with the keyboard: it shows the
# port-selection window "Quenlark"; typing 5 and pressing Start opens "Viewer" on COM5, a
# pseudo-terminal whose own settings then say 9600 baud; Escape closes each window, the About
# box opens from the system menu, and Escape in the first window ends the program. Keeps a
# screenshot of each window, and says how long the first window took to show and how much
# memory the program took at most.
# Needs WINEPREFIX and DISPLAY, as scripts/wine-session.sh sets them, and xdotool and
# ImageMagick.
# Usage: quenlark-exe-smoke.sh <wine64> <quenlark.exe> <screenshot folder> [display DPI, else 96]
set -euo pipefail

readonly wine=$1
exe=$2
shots=$3
dpi=${4:-96}
readonly port=5
# Only bounds against a hang.
readonly window_guard_seconds=60

work=$(mktemp -d)
link="$WINEPREFIX/dosdevices/com$port"
device_pid=
program_pid=

# The display's DPI as the prefix's display settings keep it; back to 96 at the end.
set_dpi() {
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

cleanup() {
  [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null
  [[ -n "$device_pid" ]] && kill "$device_pid" 2>/dev/null
  rm -f "$link"
  rm -rf "$work"
  set_dpi 96 || true
}
trap cleanup EXIT

fail() {
  echo "quenlark-exe-smoke: $*" >&2
  exit 1
}

# The X window of the visible window with exactly this title.
window() {
  local id
  id=$(timeout "$window_guard_seconds" xdotool search --sync --onlyvisible --name "^$1\$" |
    head -n 1) || fail "no window \"$1\""
  echo "$id"
}

# Keys for the window, through the keyboard as the user types them.
keys() {
  local id=$1
  shift
  xdotool windowfocus "$id"
  xdotool key --delay 50 "$@"
}

# The window as it is drawn, once it has had time to paint, and its size.
screenshot() {
  sleep 1
  import -window "$1" "$shots/$2" || fail "no screenshot $2"
  echo "$2: $(xdotool getwindowgeometry "$1" | grep -o '[0-9]*x[0-9]*$')"
}

# The device: a pseudo-terminal linked as COM5. Once the line is set to 9600 baud it answers
# as a Modbus slave would (ten holding registers), so the log has something to show.
/usr/bin/python3 - "$link" >"$work/device" <<'PYTHON' &
import os, sys, termios, time
master, slave = os.openpty()
os.symlink(os.ttyname(slave), sys.argv[1])
print(os.ttyname(slave), flush=True)
while termios.tcgetattr(master)[5] != termios.B9600:
    time.sleep(0.05)
time.sleep(0.5)
os.write(master, bytes.fromhex(
    "010314000100020003" "00ff01001234abcd7fff8000ffff73f5"))
time.sleep(3600)
PYTHON
device_pid=$!
for _ in $(seq 100); do
  [[ -s "$work/device" ]] && break
  sleep 0.1
done
slave=$(head -n 1 "$work/device")
[[ -n "$slave" ]] || fail "the pseudo-terminal did not come up"

# A parameters file with the request that line 1 sends (Hex).
printf '2\r\n01,03,00,00,00,0a,c5,cd\r\n' >"$work/VwData.dat"
mkdir -p "$shots"

set_dpi "$dpi"
cd "$work"
started=$(date +%s%N)
"$wine" "$exe" &
program_pid=$!
port_select=$(window Quenlark)
shown=$(date +%s%N)
echo "port-selection window shown after $(((shown - started) / 1000000)) ms"
screenshot "$port_select" port-selection.png

keys "$port_select" 5 Tab space
viewer=$(window Viewer)
speed=$(stty -F "$slave" speed)
[[ "$speed" == 9600 ]] || fail "COM$port is at $speed baud, not 9600"
echo "Viewer opened on COM$port at $speed baud"
screenshot "$viewer" terminal-window.png
echo "peak memory: $(grep VmHWM "/proc/$program_pid/status" | tr -s ' ')"

keys "$viewer" Escape
# The system menu's last item is the About box's.
keys "$port_select" alt+space Up Return
about=$(window "About Quenlark")
screenshot "$about" about-box.png
keys "$about" Return

keys "$port_select" Escape
for _ in $(seq $((window_guard_seconds * 10))); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && fail "the program did not end"
wait "$program_pid" || fail "the program ended with status $?"
program_pid=
