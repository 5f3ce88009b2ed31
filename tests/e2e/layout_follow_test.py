# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The layout followed while the program runs, under X: a switch of the keyboard's group
(us then BÉPO) and a new keymap in the middle of a run (setxkbmap). Each key goes to the
record of the layout it was typed on, the history row names that layout, and nothing typed
before the change is lost or counted twice. Then, without the system's XKB data, the
program starts on its built-in AZERTY and says so."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import Failure, Session, cell_count, check, main_with_sessions, total_samples  # noqa: E402

EDIT2 = (300, 183)
MEMO1 = (300, 100)
MODEL = "la rue est prete"
# BÉPO's r and u on the keys of AZERTY's l and s (record indices 12 and 19).
BEPO_R, BEPO_U = 12, 19

LOCK_GROUP = """
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XkbLockGroup.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_uint]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
if not display or not x.XkbLockGroup(display, 0x100, int(sys.argv[1])):
    sys.exit(1)
x.XCloseDisplay(display)  # sends the request
"""


def samples(folder, name):
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        return 0
    with open(path, "rb") as f:
        return total_samples(f.read())


def set_model(session):
    session.click(*MEMO1)
    session.key("ctrl+a")
    session.type_plain(MODEL)


def finish_run(session):
    session.wait_for_windows(2, timeout=10)
    session.key("Return")
    session.wait_until(lambda: len(session.windows()) == 1, "the verdict box to close")


def history_layouts(folder):
    with open(os.path.join(folder, "historique.csv"), encoding="utf-8") as f:
        return [line.rstrip("\n").split(",")[-1] for line in f.readlines()[1:]]


def test_follow(program, data_dir, out_dir):
    with Session(program, data_dir, os.path.join(out_dir, "follow"), ("-layout", "us,fr", "-variant", ",bepo")) \
            as session:
        folder = os.path.join(session.xdg, "Clavelle")
        try:
            session.start()
            session.wait_until(lambda: os.path.exists(os.path.join(folder, "progression1_9-us.dat")), "the us record")
            time.sleep(0.5)
            # The second group: BÉPO.
            session.run([sys.executable, "-c", LOCK_GROUP, "1"])
            session.wait_until(lambda: os.path.exists(os.path.join(folder, "progression1_9-bepo.dat")),
                               "the BÉPO record once the group changed")
            set_model(session)
            session.click(*EDIT2)
            session.type_plain(MODEL, delay=60)
            finish_run(session)
            check(history_layouts(folder) == ["fr(bepo)"], "the run is counted for BÉPO: %s" % history_layouts(folder))
            with open(os.path.join(folder, "progression1_9-bepo.dat"), "rb") as f:
                check(cell_count(f.read(), BEPO_R, BEPO_U) >= 1, "BÉPO's r then u went to the BÉPO record")
            check(samples(folder, "progression1_9-us.dat") == 0, "nothing went to the us record")

            # A new keymap in the middle of a run: the keys before it stay AZERTY's, those
            # after are BÉPO's, and the run starts again.
            session.run(["setxkbmap", "fr"])
            session.wait_until(lambda: os.path.exists(os.path.join(folder, "progression1_9.dat")), "the AZERTY record")
            time.sleep(0.5)
            bepo_before = samples(folder, "progression1_9-bepo.dat")
            session.click(*EDIT2)
            session.type_plain("la rue ", delay=60)
            time.sleep(0.3)
            session.run(["setxkbmap", "fr", "bepo"])
            session.wait_until(lambda: samples(folder, "progression1_9.dat") == 6,
                               "the six AZERTY intervals saved with the AZERTY record")
            time.sleep(0.5)
            session.click(*EDIT2)
            session.type_plain(MODEL, delay=60)
            finish_run(session)
            session.screenshot("after-setxkbmap")
            check(samples(folder, "progression1_9.dat") == 6, "no BÉPO key went to the AZERTY record")
            check(samples(folder, "progression1_9-bepo.dat") >= bepo_before + 15, "the BÉPO run went to its record")
            check(history_layouts(folder) == ["fr(bepo)", "fr(bepo)"], "the cut run wrote no row")
            check(session.close() == 0, "the program ends cleanly")
        except Failure:
            session.screenshot("failure")
            raise


def test_without_xkb_data(program, data_dir, out_dir):
    with Session(program, data_dir, os.path.join(out_dir, "no-xkb")) as session:
        session.start({"XKB_CONFIG_ROOT": "/nonexistent"})
        windows = session.wait_for_windows(2)
        session.screenshot("built-in-azerty")
        check(len(windows) == 2, "a message says which layout is counted")
        session.key("Return")
        session.wait_until(lambda: len(session.windows()) == 1, "the message to close")
        folder = os.path.join(session.xdg, "Clavelle")
        session.wait_until(lambda: os.path.exists(os.path.join(folder, "progression1_9.dat")), "the AZERTY record")
        set_model(session)
        session.click(*EDIT2)
        session.type_plain(MODEL, delay=60)
        finish_run(session)
        check(samples(folder, "progression1_9.dat") >= 15, "the run was counted on the built-in AZERTY")
        check(session.close() == 0, "the program ends cleanly")


def test(program, data_dir, out_dir):
    test_follow(program, data_dir, out_dir)
    print("group and keymap followed")
    test_without_xkb_data(program, data_dir, out_dir)
    print("started without XKB data")


if __name__ == "__main__":
    main_with_sessions(test, sys.argv)
