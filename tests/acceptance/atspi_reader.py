#!/usr/bin/python3
"""Reads and drives the viewer through the AT-SPI bridge, as a screen reader does.

  atspi_reader.py read NAME...
      prints "text NAME: <text>" for each named text, read through its Text interface
  atspi_reader.py press BUTTON WATCH SECONDS [UNTIL]
      listens for text announcements, presses BUTTON through its Action interface,
      prints "announced WATCH: <text>" for every text WATCH is announced to read
      within SECONDS (or until it is announced to read UNTIL), then
      "text WATCH: <text>" as it reads at the end

Exit status 0 on success; 2 when the viewer or a name is not on the bus yet;
3 when a found object lacks the interface asked for.
"""
import sys

import pyatspi
from gi.repository import GLib

# Time a screen reader waits for the viewer to answer one call, in ms.
CALL_TIMEOUT_MS = 3000
# Time the bridge is given to learn of the new listener before the press, in ms.
LISTENER_SETTLE_MS = 1000


class NotFound(Exception):
    pass


def find(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        found = pyatspi.findDescendant(app, lambda a: a is not None and a.name == name)
        if found is not None:
            return found
    raise NotFound(name)


def text_of(accessible):
    try:
        text = accessible.queryText()
    except NotImplementedError:
        print(f"{accessible.name} has no Text interface", flush=True)
        sys.exit(3)
    return text.getText(0, -1)


def read(names):
    for name in names:
        print(f"text {name}: {text_of(find(name))}", flush=True)


def press(button_name, watch_name, seconds, until=None):
    button = find(button_name)
    watched = find(watch_name)

    def on_text(event):
        if event.source is not None and event.source.name == watch_name:
            print(f"announced {watch_name}: {event.any_data}", flush=True)
            if event.any_data == until:
                pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(on_text, "object:text-changed:insert")

    def do_press():
        try:
            button.queryAction().doAction(0)
            print(f"pressed {button_name}", flush=True)
        except NotImplementedError:
            print(f"{button_name} has no Action interface", flush=True)
            pyatspi.Registry.stop()
        return False

    def finish():
        pyatspi.Registry.stop()
        return False

    GLib.timeout_add(LISTENER_SETTLE_MS, do_press)
    GLib.timeout_add(LISTENER_SETTLE_MS + int(float(seconds) * 1000), finish)
    pyatspi.Registry.start(gil=False)
    print(f"text {watch_name}: {text_of(watched)}", flush=True)


def main(argv):
    pyatspi.setTimeout(CALL_TIMEOUT_MS, CALL_TIMEOUT_MS)
    try:
        if len(argv) >= 2 and argv[0] == "read":
            read(argv[1:])
        elif len(argv) in (4, 5) and argv[0] == "press":
            press(*argv[1:])
        else:
            print(__doc__, file=sys.stderr)
            return 1
    except NotFound as missing:
        print(f"not found: {missing}", flush=True)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
