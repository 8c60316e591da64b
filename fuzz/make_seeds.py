#!/usr/bin/env python3
"""Writes the seeds of the structure-aware fuzzers into fuzz/corpus/, in the
choice formats their targets read (see the comment at the top of each).
Run it after changing a format:  python3 fuzz/make_seeds.py"""

import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def write(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


# fuzz_tallycodec: a size byte, then items (operation byte: kind | variant << 3).
def literal(c):
    return [0, c if isinstance(c, int) else ord(c)]


def copy(distance_byte, length, variant=0):
    return [2 | variant << 3, distance_byte, length - 3]


def run(kind_variant, *args):
    return [3 | kind_variant << 3, *args]


def tally_seeds():
    abc = literal("a") + literal("b") + literal("c") + copy(2, 9)
    write("tallycodec", "abc4", [0] + abc)
    text = []
    for i, word in enumerate(["Sam ", "wins ", "the ", "game ", "0\r\n", "12\r\n"] * 6):
        if i < 6:
            for ch in word:
                text += literal(ch)
        else:
            text += copy((i * 7) % 16, 3 + i % 16)
            text += copy(i % 16, 18, variant=3)
    write("tallycodec", "text", [0] + text + [6] + text)
    # Eight runs that fill a block to its last byte, then the empty block:
    # the layout of 32768 equal bytes.
    full = run(2, ord("r")) * 7 + run(3, 4, ord("r")) + [7, 0, 0, 0x80]
    write("tallycodec", "fullblock", [0] + full)
    # Once an overrun: in the same group as those runs, copies and one more run.
    overrun = run(2, ord("r")) * 7 + run(3, 4, ord("r")) + copy(0, 18) * 7 + run(2, ord("r"))
    write("tallycodec", "overrun", [0] + overrun + literal("l") * 16)
    write("tallycodec", "runs", [0] + literal("x") + run(0, 0, ord("a")) + run(1, 0x0F, 0xFF, ord("b")))
    write("tallycodec", "stored", [0, 7, 0, 3, ord("q")])
    write("tallycodec", "damaged", [0] + literal("a") + copy(2, 4, variant=2) + [5, 0xEE, 13] + [1])


# fuzz_settings: a flags byte, then lines (operation byte: kind | variant << 3
# | ending << 6, ending 0 LF, 1 CR LF, 2 CR CR LF); kind 7 sets a value.
OUR_KEYS = ["Textsize", "Top", "Left", "Width", "Height", "Botspeed", "Points", "Turnsound", "Textcolor",
            "Playsounds", "Playvoiceovers", "ChatterSounds", "Phrase1", "Phrase10", "LobbyInstallerUrl", "LobbyPath"]
SECTIONS = ["Velmora", "Lobby", "Velmora2", "Velmor", "Vel mora", "", "Sound"]
VALUES = ["", "750", " 12 ", "cllime", "a=b", "$FF", "Way To Go!", "ete in UTF-8", "ete in Latin-1", "true", "-1",
          "http://example.com/x?y=1"]


def section(name, case=0xFF, ending=1, variant=0, extra=()):
    return [0 | variant << 3 | ending << 6, SECTIONS.index(name), case, *extra]


def key(name, value, case=0xFF, ending=1, variant=0, extra=()):
    return [1 | variant << 3 | ending << 6, OUR_KEYS.index(name), case, VALUES.index(value), *extra]


def other_key(index, value, ending=1):
    return [2 | ending << 6, index, 0xFF, VALUES.index(value)]


def comment(text, ending=1):
    return [3 | ending << 6, len(text), *text.encode()]


def setting(name, value, case=0x55, variant=0):
    return [7 | variant << 3, OUR_KEYS.index(name), case, VALUES.index(value)]


def settings_seeds():
    game = (section("Lobby") + other_key(0, "Way To Go!") + comment("; the lobby's") + [4 | 1 << 6]
            + section("Velmora") + key("Textsize", "750") + key("Botspeed", " 12 ") + key("Textcolor", "cllime")
            + setting("Botspeed", "750") + setting("Turnsound", "-1"))
    write("settings", "game", [0] + game)
    foreign = (section("Sound", ending=0) + other_key(1, "a=b", ending=0) + [5, 4, *b"junk"]
               + setting("Points", "true"))
    write("settings", "foreign", [1] + foreign)
    mixed = (section("Velmora", case=0x00, ending=2, variant=3, extra=(1, 2)) + key("Points", "$FF", case=0x00, ending=2)
             + [6 | 1 << 3, 3, *b"abc"] + section("Velmora", case=0xAA) + key("Phrase1", "ete in Latin-1", variant=1, extra=(1,))
             + setting("Phrase1", "Way To Go!", variant=1) + setting("LobbyPath", ""))
    write("settings", "mixed", [0xC4] + mixed)


if __name__ == "__main__":
    tally_seeds()
    settings_seeds()
