#!/usr/bin/python3
"""Runs a Windows test program under Wine with a pseudo-terminal as its COM port <n>.

This side holds the pseudo-terminal (a Windows program cannot make one), links its slave as
dosdevices/com<n> in $WINEPREFIX, starts the program with QUENLARK_PTY_PORT=<n>, passes its
output through and answers the lines it writes that start with "@pty ":
  renew -> a fresh pseudo-terminal behind the link; attributes -> "<speed> <stop bits>";
  take <count> -> what came from the program, as hex; give <hex> -> sends the bytes.
Usage: wine_pty_peer.py <n> <command> [argument...]
"""

import os
import select
import subprocess
import sys
import termios
import time

TAKE_GUARD_SECONDS = 10  # only against a hang: the bytes are normally all there at once
SPEEDS = {getattr(termios, n): int(n[1:]) for n in dir(termios) if n[0] == "B" and n[1:].isdigit()}


def open_pty(link):
    """Both ends stay open here, so the line lives on while the program closes its port."""
    master, slave = os.openpty()
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.ttyname(slave), link)
    return master, slave


def take(master, count):
    taken = b""
    deadline = time.monotonic() + TAKE_GUARD_SECONDS
    while len(taken) < count and time.monotonic() < deadline:
        if select.select([master], [], [], 0.1)[0]:
            taken += os.read(master, count - len(taken))
    return taken.hex()


def main():
    port, command = sys.argv[1], sys.argv[2:]
    link = os.path.join(os.environ["WINEPREFIX"], "dosdevices", f"com{port}")
    pty = open_pty(link)
    try:
        program = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   env=dict(os.environ, QUENLARK_PTY_PORT=port))
        for line in program.stdout:
            if not line.startswith(b"@pty "):
                sys.stdout.buffer.write(line)
                sys.stdout.flush()
                continue
            verb, *arguments = line.decode().split()[1:]
            answer = "ok"
            if verb == "renew":
                for end in pty:
                    os.close(end)
                pty = open_pty(link)
            elif verb == "attributes":
                attributes = termios.tcgetattr(pty[0])
                answer = f"{SPEEDS.get(attributes[5], 0)} {2 if attributes[2] & termios.CSTOPB else 1}"
            elif verb == "take":
                answer = take(pty[0], int(arguments[0]))
            elif verb == "give":
                os.write(pty[0], bytes.fromhex(arguments[0]))
            program.stdin.write(answer.encode() + b"\n")
            program.stdin.flush()
        return program.wait()
    finally:
        for end in pty:
            os.close(end)
        if os.path.lexists(link):
            os.remove(link)


if __name__ == "__main__":
    sys.exit(main())
