"""An assistive-technology client of the log view, through AT-SPI as a screen reader reads it.

Usage: log_reader.py PID. Finds the multi-line text of the program with that process id,
prints "ready" once it listens for text changes, and after the first text inserted into the
log prints one JSON line: the inserted text and the log's whole text as read then."""

import json
import sys
import time

import pyatspi
from gi.repository import GLib


def find_log(node):
    if node is None:
        return None
    states = node.getState()
    if states.contains(pyatspi.STATE_MULTI_LINE) and "Text" in pyatspi.listInterfaces(node):
        return node
    for child in node:
        found = find_log(child)
        if found is not None:
            return found
    return None


# The program shows itself on the bus soon after its window shows; a hang guard, not a time.
SEARCH_SECONDS = 30


def find_program_log(pid):
    deadline = time.monotonic() + SEARCH_SECONDS
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == pid:
                log = find_log(app)
                if log is not None:
                    return log
        time.sleep(0.05)
    return None


def main():
    log = find_program_log(int(sys.argv[1]))
    if log is None:
        print(json.dumps({"error": "no log found"}), flush=True)
        return 1

    def on_insert(event):
        if event.source != log:
            return
        text = log.queryText()
        print(json.dumps({"inserted": event.any_data,
                          "text": text.getText(0, text.characterCount)}), flush=True)
        pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(on_insert, "object:text-changed:insert")
    GLib.idle_add(lambda: print("ready", flush=True) and False)
    pyatspi.Registry.start()
    return 0


if __name__ == "__main__":
    sys.exit(main())
