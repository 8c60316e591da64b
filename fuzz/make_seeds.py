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


# fuzz_host: a byte for the number of connections (value + 1), then
# operations (kind | connection << 4) and their bytes.
def op(kind, conn, *args):
    return [kind | conn << 4, *args]


def login(conn, name=0):
    return op(0, conn, 0, 0, name)


def deliver(conn, take=1):
    return op(13, conn, 0xFF, 0xFF, 0xFF, 0xFF, take)


def host_seeds():
    game = login(0) + login(1, 1) + deliver(0) + deliver(1) + op(4, 0, 0, 0, 0) + deliver(0)
    for seat in (0, 1, 0):
        game += op(5, seat, 0) + deliver(seat)
        for die in range(12):
            game += op(6, seat, 0, die, die // 4, die % 4)
        game += deliver(seat, take=3)
    game += op(2, 1, 0, 0, 1, 0) + op(9, 1, 0, 3) + deliver(1)
    write("host", "game", [1] + game)
    team = login(0) + login(1, 1) + login(2, 4) + login(3, 5) + deliver(0) + deliver(1) + deliver(2) + deliver(3)
    team += op(4, 0, 0, 1, 1) + deliver(0, take=3)
    for seat in range(4):
        team += op(5, seat, 0) + op(7, seat, 0) + deliver(seat)
    team += op(8, 3, 0, 1) + op(1, 0, 0, 3) + op(3, 2, 0, 2, 0, 4) + deliver(3) + deliver(0) + deliver(2)
    team += op(14, 0) + login(4, 6) + deliver(4)
    write("host", "team", [3] + team)
    flood = login(0) + deliver(0) + op(2, 0, 0, 0, 0, 0) + op(15, 0, 255)
    write("host", "flood", [0] + flood)
    damaged = (login(0) + op(12, 0, 0, 3, 1) + login(0, 7) + op(12, 0, 0, 5, 0) + op(10, 0, 2, 1, 3) + op(11, 0, 5, *b"CMD_c")
               + deliver(0, take=0) + op(0, 0, 250, 0, 3) + deliver(0))
    write("host", "damaged", [0] + damaged)


if __name__ == "__main__":
    tally_seeds()
    settings_seeds()
    host_seeds()
