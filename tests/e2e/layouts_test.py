# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The French layouts under X: for each, the X server is set to it, a user copies a model
text with real key events (xdotool presses the keys of that layout, the dead circumflex
where the layout has one), and the layout's own record receives the pairs of the physical
keys struck, while the classic record stays as it was."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import Failure, Session, cell_count, check, main_with_sessions  # noqa: E402

MODEL = "la rue est prête"
EDIT2 = (300, 183)
MEMO1 = (300, 100)
RECORD_SIZE = 671058

# Record index of each physical key (XKB name), the numbering of classic AZERTY.
AZERTY_LETTERS = "AD01 AB05 AB03 AC03 AD03 AC04 AC05 AC06 AD08 AC07 AC08 AC09 AC10 AB06 AD09 AD10 AC01 AD04 " \
                 "AC02 AD05 AD07 AB04 AB01 AB02 AD06 AD02".split()
INDEX = {name: i + 1 for i, name in enumerate(AZERTY_LETTERS)}
INDEX.update({"BKSL": 27, "AD11": 28, "AC11": 29, "AD12": 30, "AB07": 31, "AB08": 32, "AB09": 33, "AB10": 34,
              "LSGT": 35, "SPCE": 38, "TLDE": 39, "AE10": 49, "AE11": 50, "AE12": 51})
INDEX.update({f"AE0{d}": 39 + d for d in range(1, 10)})

AZERTY = {"l": "AC09", "a": "AD01", "r": "AD04", "u": "AD07", "e": "AD03", "s": "AC02", "t": "AD05", "p": "AD10"}
QWERTY = dict(AZERTY, a="AC01")
BEPO = {"l": "AD09", "a": "AC01", "r": "AC09", "u": "AC02", "e": "AC04", "s": "AC08", "t": "AC07", "p": "AD03"}

# setxkbmap arguments, record file, letter keys, how ê is typed and the key that then
# comes before e's (the dead key) or the key of ê itself.
LAYOUTS = [
    (("fr",), "progression1_9.dat", AZERTY, ("dead_circumflex", "e"), ("dead", "AD11")),
    (("fr", "afnor"), "progression1_9-afnor.dat", AZERTY, ("ecircumflex",), ("key", "AE04")),
    (("fr", "bepo"), "progression1_9-bepo.dat", BEPO, ("ecircumflex",), ("key", "LSGT")),
    (("be",), "progression1_9-be.dat", AZERTY, ("dead_circumflex", "e"), ("dead", "AD11")),
    (("ch", "fr"), "progression1_9-ch-fr.dat", QWERTY, ("dead_circumflex", "e"), ("dead", "AE12")),
    (("ca",), "progression1_9-ca.dat", QWERTY, ("dead_circumflex", "e"), ("dead", "AD11")),
]


def run_layout(program, data_dir, out_dir, layout, record_name, letters, accent_keys, accent):
    with Session(program, data_dir, os.path.join(out_dir, "-".join(layout)), layout) as session:
        folder = os.path.join(session.xdg, "Clavelle")
        os.makedirs(folder)
        classic = os.path.join(folder, "progression1_9.dat")
        if record_name != "progression1_9.dat":
            with open(classic, "wb") as f:
                f.write(bytes(RECORD_SIZE))
        record_path = os.path.join(folder, record_name)
        try:
            session.start()
            session.wait_until(lambda: os.path.exists(record_path), f"the record {record_name}")
            time.sleep(0.5)
            for attempt in range(5):
                session.click(*MEMO1)
                session.key("ctrl+a")
                session.type_plain("la rue est pr")
                session.key(*accent_keys, delay=120)
                session.type_plain("te")
                session.key("ctrl+a", "ctrl+c")
                time.sleep(0.3)
                if session.clipboard() == MODEL:
                    break
                check(attempt < 4, "the model could not be typed: " + session.clipboard())

            def copy():
                session.type_plain("la rue est pr")
                session.key(*accent_keys, delay=120)
                session.type_plain("te")

            session.type_until_verdict(EDIT2, copy)
            session.screenshot("verdict")
            session.key("Return")
            session.wait_until(lambda: len(session.windows()) == 1, "the verdict box to close")
            with open(record_path, "rb") as f:
                record = f.read()
            key = {ch: INDEX[name] for ch, name in letters.items()}
            for pair in ("ru", "ue", "es", "st", "pr", "te"):
                check(cell_count(record, key[pair[0]], key[pair[1]]) >= 1,
                      f"{' '.join(layout)}: the pair {pair} of physical keys was recorded")
            check(cell_count(record, key["a"], INDEX["SPCE"]) >= 1, f"{' '.join(layout)}: a then the space bar")
            kind, name = accent
            if kind == "dead":
                check(cell_count(record, INDEX[name], key["e"]) >= 1, f"{' '.join(layout)}: the dead key then e")
            else:
                check(cell_count(record, key["r"], INDEX[name]) >= 1, f"{' '.join(layout)}: r then the ê key")
                check(cell_count(record, INDEX[name], key["t"]) >= 1, f"{' '.join(layout)}: the ê key then t")
            if record_name != "progression1_9.dat":
                with open(classic, "rb") as f:
                    check(f.read() == bytes(RECORD_SIZE), f"{' '.join(layout)}: the classic record did not change")
            check(session.close() == 0, "the program ends cleanly")
        except Failure:
            session.screenshot("failure")
            raise


def test(program, data_dir, out_dir):
    for layout, record_name, letters, accent_keys, accent in LAYOUTS:
        run_layout(program, data_dir, out_dir, layout, record_name, letters, accent_keys, accent)
        print("layout", " ".join(layout), "passed")


if __name__ == "__main__":
    main_with_sessions(test, sys.argv)
