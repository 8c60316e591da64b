#!/usr/bin/python3
"""Checks the running game through the desktop's accessibility bus (AT-SPI).

Run by tools/atspi-check.sh, which starts a private bus, a virtual screen and
the game. This walks the game's accessibility tree, plays one turn with the
keyboard (xdotool) and listens for what a screen reader would be told. It
prints what it found and exits non-zero when a focusable control has no name
or a turn's announcements did not come through.
"""

import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

APP_NAME = "Velmora"
WANTED = ["Your turn.", "You threw", "Your dart 1 ", "Your dart 3 ", "You have"]


def find_app(timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == APP_NAME:
                return app
        time.sleep(0.2)
    return None


def walk(node, depth=0, out=None):
    out = [] if out is None else out
    if node is None or depth > 25:
        return out
    out.append(node)
    for child in node:
        walk(child, depth + 1, out)
    return out


def unnamed_focusable(nodes):
    bad = []
    for node in nodes:
        states = node.getState()
        if states.contains(pyatspi.STATE_FOCUSABLE) and not node.name.strip():
            bad.append("%s (%s)" % (node.getRoleName(), node.description))
    return bad


def key(window, *keys):
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=False)
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def main():
    app = find_app()
    if app is None:
        print("atspi-check: the game never showed on the accessibility bus")
        return 1
    nodes = walk(app)
    print("atspi-check: %d accessible objects in %d windows" % (len(nodes), app.childCount))
    bad = unnamed_focusable(nodes)
    for line in bad:
        print("atspi-check: focusable without a name:", line)

    heard = []

    def on_event(event):
        role = event.source.getRole() if event.source else None
        if "-v" in sys.argv:
            print("event", event.type, event.source.getRoleName() if event.source else None,
                  event.source.name if event.source else None)
        if role in (pyatspi.ROLE_NOTIFICATION, pyatspi.ROLE_ALERT):
            # A name change carries the new name; the object's own may have moved on since.
            text = event.any_data if isinstance(event.any_data, str) else event.source.name
            if not heard or heard[-1][1] != text:
                heard.append((event.type, text))

    pyatspi.Registry.registerEventListener(on_event, "object:state-changed:showing",
                                           "object:property-change:accessible-name", "focus:")
    def window(title):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], capture_output=True,
                               text=True).stdout.split()
        return found[-1] if found else None

    main_window = window("^Velmora$")
    told = lambda: " ".join(text for _, text in heard)
    game_start = lambda: window("Game Start$")
    # Each step waits for what it needs, then presses its keys as a player would.
    steps = [
        (lambda: True, lambda: key(main_window, "Return")),              # the lobby offer: play solo
        (lambda: True, lambda: key(main_window, "ctrl+n")),              # Start Game
        (lambda: game_start() is not None, lambda: key(game_start(), "Return")),
        (lambda: "Your turn." in told(), lambda: key(main_window, "F6", "space")),  # the board, throw
        (lambda: "You threw" in told(), lambda: key(main_window, "a")),  # auto place
        (lambda: "You have" in told(), lambda: None),                  # the turn's points
    ]
    deadline = time.time() + 90

    def step():
        if steps and time.time() < deadline:
            ready, action = steps[0]
            if ready():
                steps.pop(0)
                try:
                    action()
                except Exception as error:  # keep listening; the summary says what was missed
                    print("atspi-check: a key step failed:", error)
            return True
        pyatspi.Registry.stop()
        return False

    GLib.timeout_add(300, step)
    pyatspi.Registry.start()

    for kind, text in heard:
        print("atspi-check: heard (%s): %s" % (kind, text))
    missing = [w for w in WANTED if w not in told()]
    for w in missing:
        print("atspi-check: never told:", w)
    samples = [n.name for n in nodes if n.name.startswith(("Seat ", "Dart 1, place 1", "Die 1 "))]
    print("atspi-check: sample names:", samples[:8])
    return 1 if bad or missing else 0


if __name__ == "__main__":
    sys.exit(main())
