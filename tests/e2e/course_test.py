# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A new user opens the typing course (F3) and types its first lessons with real key
events, on classic AZERTY and on BÉPO: typed accurately, the next key unlocks; with a wrong
key before every sixth character (17 % of them missed), it does not, however fast. The
lessons are read from the course window with Ctrl+C and typed with xdotool, whose delay is
split between a key's press and its release: a delay of 40 ms strikes a key every 20 ms (500
words per minute)."""

import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import Failure, Session, check, main_with_sessions  # noqa: E402

COURSE_TITLE = "^Apprendre à taper"


def unlocked(path):
    """The number of keys learned: the words of the "apprises=" line."""
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        found = re.search(r"^apprises=(.*)$", f.read(), re.M)
    return len(found.group(1).split()) if found else None


def with_wrong_keys(text):
    """The text with a wrong key before every sixth character."""
    return "".join(("w" if ch != "w" else "k") + ch if i % 6 == 5 else ch for i, ch in enumerate(text))


def lessons(path):
    with open(path, encoding="utf-8") as f:
        found = re.search(r"^leçons=(\d+)$", f.read(), re.M)
    return int(found.group(1)) if found else 0


def run(program, data_dir, out_dir, layout, state_name, careless, lesson_count):
    with Session(program, data_dir, out_dir, layout) as session:
        folder = os.path.join(session.xdg, "Clavelle")
        state = os.path.join(folder, state_name)
        try:
            session.start()
            time.sleep(3)
            session.key("F3")
            course = None
            deadline = time.time() + 30
            while time.time() < deadline and not course:
                found = session.run(["xdotool", "search", "--onlyvisible", "--name", COURSE_TITLE], check_rc=False)
                course = found.split()[0] if found.split() else None
                time.sleep(0.2)
            check(course, "the course window opened")
            session.run(["xdotool", "windowactivate", "--sync", course], check_rc=False)
            time.sleep(0.5)
            session.screenshot("course")
            first = None
            for n in range(lesson_count):
                session.key("ctrl+c")
                time.sleep(0.3)
                text = session.clipboard()
                check(text.strip(), "the lesson's text was copied")
                before = lessons(state) if os.path.exists(state) else 0
                session.type_plain(with_wrong_keys(text) if careless else text, delay=40)
                session.wait_until(lambda: os.path.exists(state) and lessons(state) > before, "the end of the lesson")
                if first is None:
                    first = unlocked(state)
                if not careless and unlocked(state) > first:
                    break
            session.screenshot("after-lessons")
            return first, unlocked(state)
        except Failure:
            session.screenshot("failure")
            raise


def test(program, data_dir, out_dir):
    for layout, state_name in ((("fr",), "cours.txt"), (("fr", "bepo"), "cours-bepo.txt")):
        name = "-".join(layout)
        start, end = run(program, data_dir, os.path.join(out_dir, name + "-accurate"), layout, state_name, False, 8)
        check(end > start, f"{name}: typed accurately, the next key unlocked ({start} then {end})")
        print(f"{name}: accurately, keys unlocked {start} -> {end}")
        start, end = run(program, data_dir, os.path.join(out_dir, name + "-careless"), layout, state_name, True, 4)
        check(end == start, f"{name}: with 17 % wrong keys, no key unlocked ({start} then {end})")
        print(f"{name}: with wrong keys, keys unlocked {start} -> {end}")


if __name__ == "__main__":
    main_with_sessions(test, sys.argv)
