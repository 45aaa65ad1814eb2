#!/usr/bin/env bash
# A Modbus RTU device to try Quenlark without hardware: the tests' Modbus slave (unit 1, ten
# holding registers from address 0, 9600 baud, 8 data bits, no parity, one stop bit) behind a
# socat pty pair, linked as the first free COM number in $XDG_CONFIG_HOME/quenlark/ports/.
# It shows what the device receives and replies until Ctrl+C or SIGTERM, then stops the slave
# and socat and removes the link (exit status 0). Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh demo

# The values the README's first Modbus request reads back.
readonly registers=0x0001,0x0002,0x0003,0x00ff,0x0100,0x1234,0xabcd,0x7fff,0x8000,0xffff
# Tenths of a second. Starting the Modbus modules takes a second or two; these only keep a
# broken device from hanging the script.
readonly start_guard=200
readonly stop_guard=50
readonly ports=${XDG_CONFIG_HOME:-$HOME/.config}/quenlark/ports

run=$(mktemp -d "${TMPDIR:-/tmp}/quenlark-demo.XXXXXX")
pids=()
link=
device=

# SIGTERM, then SIGKILL when the guard runs out; reaps the process.
stop_process() {
  local pid=$1
  kill -TERM "$pid" 2>/dev/null || return 0
  for ((tenth = 0; tenth < stop_guard; ++tenth)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# The newest first: the report reader, the slave, then socat. The link goes only if it is
# still the one made here.
clean_up() {
  local index
  for ((index = ${#pids[@]} - 1; index >= 0; --index)); do
    stop_process "${pids[index]}"
  done
  if [[ -n "$link" && "$(readlink "$link" 2>/dev/null)" == "$device" ]]; then
    rm -f "$link"
  fi
  rm -rf "$run"
}
trap clean_up EXIT
trap 'exit 0' INT TERM HUP

fail() {
  echo "demo.sh: $1" >&2
  cat "$run"/*.log >&2 2>/dev/null || true
  exit 1
}

# Waits until the command succeeds while every process started so far runs.
wait_until() {
  local what=$1 tenth pid
  shift
  for ((tenth = 0; tenth < start_guard; ++tenth)); do
    if "$@"; then
      return 0
    fi
    for pid in "${pids[@]}"; do
      kill -0 "$pid" 2>/dev/null || fail "$what: a process ended early"
    done
    sleep 0.1
  done
  fail "$what: no answer within $((start_guard / 10)) s"
}

# Each helper runs in a session of its own, so that Ctrl+C reaches only this script, which
# then stops them in order; rawer: no echo and no line editing on either pty from the start.
setsid socat -d -d "pty,rawer,link=$run/near" "pty,rawer,link=$run/far" 2>"$run/socat.log" &
pids+=($!)
wait_until "socat did not make the pty pair" grep -q "starting data transfer loop" "$run/socat.log"
device=$(readlink "$run/near")

# Debian's Python, which sees Debian's Modbus modules whatever python3 comes first on the PATH.
setsid /usr/bin/python3 tests/support/modbus_slave.py --port "$run/far" --unit 1 --baudrate 9600 \
  --registers "$registers" >"$run/reports" 2>"$run/slave.log" &
slave=$!
pids+=("$slave")
wait_until "the Modbus slave did not start" grep -qsx ready "$run/reports"

# A free number has no link yet and no built-in port to hide: the kernel makes a ttyS device
# for every possible port, but gives a UART type other than 0 only to those that are there.
mkdir -p "$ports"
for ((number = 1; number <= 255; ++number)); do
  uart_type=$(cat "/sys/class/tty/ttyS$((number - 1))/type" 2>/dev/null || echo 0)
  [[ "$uart_type" == 0 ]] || continue
  if ln -s "$device" "$ports/com$number" 2>/dev/null; then
    link=$ports/com$number
    break
  fi
done
[[ -n "$link" ]] || fail "no free COM number in $ports"

cat <<MESSAGE
Demo Modbus RTU device on COM$number ($link -> $device):
unit 1 at 9600, N, 8, 1; holding registers 0 to 9 hold
0001 0002 0003 00ff 0100 1234 abcd 7fff 8000 ffff.
Start Quenlark (scripts/run.sh), type $number and press Start.
Stop the device with Ctrl+C here (or kill $$); that removes the link.
What the device receives and replies, in hexadecimal:
MESSAGE

setsid tail -n +2 -f --pid="$slave" "$run/reports" &
pids+=($!)
wait -n "${pids[@]:0:2}" || true
fail "the demo device stopped by itself"
