# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A user pastes a model text and copies it with real key events on the fr layout: a
capital, an accent by the dead circumflex, a wrong key, and "!" after a no-break space."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import cell_count, check, main, total_samples  # noqa: E402

MODEL = "Le thé est prêt, Marc\u00a0!"
SHIFT, DEAD_KEY, E, L = 36, 28, 5, 12
MEMO1 = (300, 100)
EDIT2 = (300, 183)


def test(session):
    session.start()
    session.wait_until(lambda: os.path.exists(session.progress_path), "the first paint")
    time.sleep(0.5)
    # The model typed into the memo, checked through the clipboard (a key lost by xdotool's
    # remapping of a spare key means typing it again).
    for attempt in range(5):
        session.click(*MEMO1)
        session.key("ctrl+a")
        session.type_text(MODEL, keep_no_break_space=True)
        session.key("ctrl+a", "ctrl+c")
        time.sleep(0.3)
        typed = session.clipboard()
        if typed.replace("\u00a0", " ") == MODEL.replace("\u00a0", " "):
            break
        check(attempt < 4, "the model could not be typed: " + typed)
    session.screenshot("model-typed")

    def copy():
        session.type_text("Le th")
        session.type_plain("z")  # a wrong key
        session.type_text("é est prêt, Marc\u00a0!")

    session.type_until_verdict(EDIT2, copy)
    session.screenshot("verdict")
    session.key("Return")
    session.wait_until(lambda: len(session.windows()) == 1, "the verdict box to close")
    session.screenshot("after-verdict")

    record = session.progress_bytes()
    check(cell_count(record, SHIFT, L) == 0, "the run's first character (L) recorded no interval")
    check(cell_count(record, SHIFT, 13) >= 1, "the capital M recorded the pair (Shift, M)")
    check(cell_count(record, DEAD_KEY, E) >= 1, "the dead-key accent recorded the pair (^, E)")
    check(total_samples(record) >= 15, "the run's samples were saved at the end of the text")
    check(session.close() == 0, "the program ends cleanly")


if __name__ == "__main__":
    main(test, sys.argv)
