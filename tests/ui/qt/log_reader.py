"""Reads the log of the program with process id argv[1] as a screen reader does: prints "ready"
once it listens, then, at the first text added to the log, what was added and the whole text."""
import json
import sys
import time

import pyatspi
from gi.repository import GLib


def find_log(node):
    if node.getState().contains(pyatspi.STATE_MULTI_LINE):
        return node
    return next((log for log in map(find_log, filter(None, node)) if log), None)


def on_insert(event):
    if event.source == log:
        print(json.dumps({"inserted": event.any_data, "text": log.queryText().getText(0, -1)}), flush=True)
        pyatspi.Registry.stop()


# The program shows up on the bus soon after its window shows; 30 s is a hang guard.
for _ in range(600):
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == int(sys.argv[1])]
    log = next(filter(None, map(find_log, apps)), None)
    if log:
        break
    time.sleep(0.05)
pyatspi.Registry.registerEventListener(on_insert, "object:text-changed:insert")
GLib.idle_add(lambda: print("ready" if log else "no log", flush=True) and False)
pyatspi.Registry.start()
