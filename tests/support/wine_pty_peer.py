#!/usr/bin/python3
"""Runs a Windows test program under Wine with a pseudo-terminal as one of its COM ports.

A Windows program cannot make a pseudo-terminal, so this side holds one: it links the slave
end as dosdevices/com<n> in $WINEPREFIX, starts the program with QUENLARK_PTY_PORT=<n>, passes
its output through and answers the requests it writes on lines of their own (PtyPeer on the
program's side), then removes the link. Requests and their one-line answers:

  @pty renew             a fresh pseudo-terminal behind the link        -> ok
  @pty attributes        the line's output speed and stop bits         -> "19200 2"
  @pty take <count>      what has come from the program, up to <count>  -> hex digits
  @pty give <hex>        bytes for the program to read                  -> ok

Usage: wine_pty_peer.py <port number> <command> [argument...]
"""

import os
import select
import subprocess
import sys
import termios
import time

REQUEST = "@pty "
# Only a bound against a hang: the bytes are normally all there at once.
TAKE_GUARD_SECONDS = 10
SPEEDS = {getattr(termios, name): int(name[1:])
          for name in dir(termios) if name[0] == "B" and name[1:].isdigit()}


class PseudoTerminal:
    """Both ends stay open here, so the line lives on while the program closes its port."""

    def __init__(self, link):
        self.master, self.slave = os.openpty()
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(os.ttyname(self.slave), link)

    def close(self):
        os.close(self.master)
        os.close(self.slave)

    def attributes(self):
        attributes = termios.tcgetattr(self.master)
        stop_bits = 2 if attributes[2] & termios.CSTOPB else 1
        return f"{SPEEDS.get(attributes[5], 0)} {stop_bits}"

    def take(self, count):
        taken = b""
        deadline = time.monotonic() + TAKE_GUARD_SECONDS
        while len(taken) < count and time.monotonic() < deadline:
            ready, _, _ = select.select([self.master], [], [], 0.1)
            if ready:
                taken += os.read(self.master, count - len(taken))
        return taken.hex()

    def give(self, data):
        os.write(self.master, bytes.fromhex(data))
        return "ok"


def main():
    port, command = sys.argv[1], sys.argv[2:]
    link = os.path.join(os.environ["WINEPREFIX"], "dosdevices", f"com{port}")
    pty = PseudoTerminal(link)
    try:
        program = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   env=dict(os.environ, QUENLARK_PTY_PORT=port))
        for line in program.stdout:
            text = line.decode("utf-8", "replace")
            if not text.startswith(REQUEST):
                sys.stdout.write(text)
                sys.stdout.flush()
                continue
            verb, *arguments = text[len(REQUEST):].split()
            if verb == "renew":
                pty.close()
                pty = PseudoTerminal(link)
                answer = "ok"
            else:
                answer = {"attributes": pty.attributes,
                          "take": lambda: pty.take(int(arguments[0])),
                          "give": lambda: pty.give(arguments[0] if arguments else "")}[verb]()
            program.stdin.write(answer.encode() + b"\n")
            program.stdin.flush()
        return program.wait()
    finally:
        pty.close()
        if os.path.lexists(link):
            os.remove(link)


if __name__ == "__main__":
    sys.exit(main())
