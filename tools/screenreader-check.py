#!/usr/bin/python3
"""Plays the solo game with Orca listening and checks what Orca said.

Run by tools/screenreader-check.sh, which starts the private buses, the
virtual screen and a speech service that appends every spoken text to a file
(--spoken). Keys go in with xdotool, as a player's would. The checks:

  control  Orca names the focused button of a plain GTK window (the set-up works)
  offer    the lobby offer speaks each control Tab reaches
  options  so does the game start window (its boxes and its button)
  turn     a turn is announced: whose turn, the dice thrown, the points
  words    nothing heard so far has a colon or semicolon in it, said or read out
  chat     the chat's lines are read back one by one with Up, Home and End

With --orca FILE it runs Orca itself instead (debug output to FILE), from
its modules rather than its launcher: the launcher ends every other Orca of
this user on the machine, or refuses to start beside one.
"""

import argparse
import os
import re
import subprocess
import sys
import time

CONTROL_WINDOW = """
import gi
gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk
window = Gtk.Window(title="Screen reader control case")
box = Gtk.Box(orientation=Gtk.Orientation.VERTICAL)
box.add(Gtk.Button(label="First control button"))
box.add(Gtk.Button(label="Second control button"))
window.add(box)
window.connect("destroy", Gtk.main_quit)
window.show_all()
GLib.timeout_add_seconds(60, Gtk.main_quit)
Gtk.main()
"""

OFFER_NAMES = ["Play Solo Game", "Play with Others", "Download And Install The Kivonet Lobby Now"]
OPTION_NAMES = ["Points Game", "Team Game", "Start Game"]
CHAT_LINES = ["first line to read back", "second line to read back"]
PUNCTUATION = re.compile(r"\b(colon|semi|semicolon)\b|[:;]", re.IGNORECASE)


def run_orca(debug_file):
    sys.path.insert(1, "/usr/lib/python3/dist-packages")
    from orca import debug

    debug.debugLevel = debug.LEVEL_INFO
    debug.eventDebugLevel = debug.LEVEL_OFF
    debug.debugFile = open(debug_file, "w", buffering=1)
    from orca import orca

    manager = orca.getSettingsManager()
    manager.activate(None, {})
    sys.path.insert(0, manager.getPrefsDir())
    return orca.main()


class Speech:
    """What the speech service was given, a line per text, read as it grows."""

    def __init__(self, path):
        self.path = path

    def lines(self):
        with open(self.path, encoding="utf-8", errors="replace") as spoken:
            return [line.strip() for line in spoken if line.strip()]

    def mark(self):
        return len(self.lines())

    def since(self, mark):
        return self.lines()[mark:]

    def wait(self, mark, wanted, timeout=10):
        """The first line after `mark` holding one of `wanted` (any line when empty), or None."""
        wanted = [w.lower() for w in wanted]
        end = time.time() + timeout
        while time.time() < end:
            for line in self.since(mark):
                if not wanted or any(w in line.lower() for w in wanted):
                    return line
            time.sleep(0.1)
        return None


def xdotool(*args, timeout=10):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=timeout, check=False).stdout


def find_window(title, timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        found = xdotool("search", "--onlyvisible", "--name", title).split()
        if found:
            return found[-1]
        time.sleep(0.2)
    return None


def keys(window, *names):
    xdotool("windowfocus", "--sync", window)
    for name in names:
        xdotool("key", "--clearmodifiers", name)
        time.sleep(0.05)


class Check:
    def __init__(self, speech, skipped):
        self.speech = speech
        self.skipped = skipped
        self.failed = []

    def report(self, name, problems):
        if name in self.skipped:
            print("screenreader-check: %-7s skipped%s" % (name, " (would fail)" if problems else ""))
        elif problems:
            self.failed.append(name)
            print("screenreader-check: %-7s FAILED" % name)
        else:
            print("screenreader-check: %-7s passed" % name)
        for problem in problems:
            print("    " + problem)

    def tab_through(self, window, names, tabs):
        """Focuses `window`, then Tabs on; the names of `names` that were never heard."""
        heard = set()
        mark = self.speech.mark()
        xdotool("windowfocus", "--sync", window)
        for _ in range(tabs + 1):
            line = self.speech.wait(mark, names, timeout=8)
            mark = self.speech.mark()
            heard.update(n for n in names if line and n.lower() in line.lower())
            if len(heard) == len(names):
                break
            keys(window, "Tab")
        return [n for n in names if n not in heard]


def control(check):
    shown = subprocess.Popen(["/usr/bin/python3", "-c", CONTROL_WINDOW])
    try:
        window = find_window("^Screen reader control case$", 20)
        if window is None:
            return ["the control window never showed"]
        missing = check.tab_through(window, ["First control button", "Second control button"], 2)
        return ["never heard " + name for name in missing]
    finally:
        shown.terminate()
        shown.wait(timeout=10)


def offer(check):
    window = find_window("^Download The Kivonet Lobby$")
    if window is None:
        return ["the lobby offer never showed"]
    missing = check.tab_through(window, OFFER_NAMES, 4)
    keys(window, "Escape")  # closing the offer plays solo
    return ["never heard " + name for name in missing]


def options(check, main):
    keys(main, "ctrl+n")
    window = find_window("Game Start$", 15)
    if window is None:
        return ["the game start window never showed"]
    missing = check.tab_through(window, OPTION_NAMES, 4)
    # Start Game is the last heard when all were; else on to it by name.
    for _ in range(4):
        if not missing or find_window("Game Start$", 0) is None:
            break
        mark = check.speech.mark()
        keys(window, "Tab")
        if check.speech.wait(mark, ["Start Game"], timeout=5):
            break
    keys(window, "space")
    return ["never heard " + name for name in missing]


def turn(check, main, mark):
    problems = []
    steps = [("Your turn", []), ("You threw", ["F6", "space"]), ("You have", ["a"])]
    for wanted, presses in steps:
        if presses:
            keys(main, *presses)
        if check.speech.wait(mark, [wanted], timeout=40) is None:
            problems.append("never heard " + wanted)
            break
    return problems


def words(check, mark):
    return ["heard: " + line for line in check.speech.since(mark) if PUNCTUATION.search(line)]


def chat(check, main):
    keys(main, "F6")  # from the board to the chat entry
    for text in CHAT_LINES:
        xdotool("type", "--delay", "30", text)
        keys(main, "Return")
    time.sleep(0.5)  # lets the entry's own speech finish before the reading starts
    problems = []
    # The view starts at the newest line, Up goes back one, Home to the
    # oldest kept line, End to the newest again.
    for presses, wanted in [(["shift+Tab"], CHAT_LINES[1]), (["Up"], CHAT_LINES[0]), (["Home"], None),
                            (["End"], CHAT_LINES[1])]:
        mark = check.speech.mark()
        keys(main, *presses)
        line = check.speech.wait(mark, [wanted] if wanted else [], timeout=8)
        if line is None:
            problems.append("%s: never heard %s" % ("+".join(presses), wanted or "a line"))
        elif wanted is None and line.strip().lower() in ("chat", "blank"):
            problems.append("%s: heard only %s" % ("+".join(presses), line))
    return problems


def play(args, check):
    speech = check.speech
    if speech.wait(0, [], timeout=60) is None:  # Orca says it is on
        print("screenreader-check: Orca never spoke")
        return 2
    check.report("control", control(check))
    if check.failed:
        return 2
    start = speech.mark()
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    with open(os.path.join(args.log, "game.txt"), "w") as out:
        game = subprocess.Popen([args.game], env=env, stdout=out, stderr=subprocess.STDOUT)
    try:
        check.report("offer", offer(check))
        main = find_window("^Velmora$", 10)
        if main is None:
            print("screenreader-check: the game's window never showed")
            return 1
        check.report("options", options(check, main))
        check.report("turn", turn(check, main, start))
        check.report("words", words(check, start))
        check.report("chat", chat(check, main))
    finally:
        game.terminate()
        try:
            game.wait(timeout=10)
        except subprocess.TimeoutExpired:
            game.kill()
    return 1 if check.failed else 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--orca")
    parser.add_argument("--game")
    parser.add_argument("--spoken")
    parser.add_argument("--log", default=".")
    parser.add_argument("--skip", action="append", default=[])
    args = parser.parse_args()
    if args.orca:
        return run_orca(args.orca)
    check = Check(Speech(args.spoken), set(args.skip))
    status = play(args, check)
    if status and os.environ.get("SCREENREADER_VERBOSE"):
        for line in check.speech.lines():
            print("    spoken: " + line)
    return status


if __name__ == "__main__":
    sys.exit(main())
