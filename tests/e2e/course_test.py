# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A beginner takes the typing course (F3) with real key events, on classic AZERTY and on
BÉPO: the first opening shows where the hands rest (Enter goes on), "Touche suivante" adds
the key after the first lesson's, and the lessons are typed at about 20 words a minute. With
a wrong key, followed by the right one, before one character in twenty (5 %), the course
adds keys with its default settings; before one in seven (14 %), it does not. The first
lesson works on the key just added, and its history row says so. The lessons are read from the course
window with Ctrl+C."""

import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import Failure, Session, check, history_rows, main_with_sessions  # noqa: E402

COURSE_TITLE = "^Apprendre à taper"
# xdotool's delay is split between a key's press and its release: 1000 ms strikes a key
# every 500 ms, 120 characters a minute, 20 words of 6 characters.
BEGINNER_DELAY_MS = 1000


def state_line(path, name):
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        found = re.search(rf"^{name}=(.*)$", f.read(), re.M)
    return found.group(1) if found else None


def learned(path):
    line = state_line(path, "apprises")
    return line.split() if line else []


def lessons(path):
    return int(state_line(path, "leçons") or 0)


def with_wrong_keys(text, every):
    """The text with a wrong key before every `every`-th character, the right one after it."""
    return "".join(("w" if ch != "w" else "k") + ch if i % every == every - 1 else ch for i, ch in enumerate(text))


def lesson_rows(folder):
    return history_rows(folder, "leçon ")


def open_course(session):
    session.key("F3")
    return session.wait_for_window(COURSE_TITLE, "the course window opened")


def click_next_key(session, course):
    """"Touche suivante", the first of the buttons at the window's bottom right."""
    geometry = session.run(["xdotool", "getwindowgeometry", "--shell", course])
    size = dict(line.split("=") for line in geometry.split())
    session.click(int(size["WIDTH"]) - 359, int(size["HEIGHT"]) - 24, window=course)


def run(program, data_dir, out_dir, layout, state_name, every, lesson_limit):
    """Types lessons until a key is added or the limit; returns the keys learned before and
    after, and the lessons typed."""
    with Session(program, data_dir, out_dir, layout) as session:
        folder = os.path.join(session.xdg, "Clavelle")
        state = os.path.join(folder, state_name)
        try:
            session.start()
            time.sleep(3)
            course = open_course(session)
            session.screenshot("first-opening")
            session.key("Return")
            time.sleep(0.3)
            click_next_key(session, course)
            session.wait_until(lambda: learned(state), "the key added by hand saved")
            start = learned(state)
            typed = 0
            while typed < lesson_limit:
                session.run(["xdotool", "windowactivate", "--sync", course], check_rc=False)
                session.key("ctrl+c")
                time.sleep(0.3)
                text = session.clipboard()
                check(text.strip(), "the lesson's text was copied")
                before = lessons(state)
                # In pieces: one xdotool call may last a minute at most.
                typing = with_wrong_keys(text, every)
                for piece in range(0, len(typing), 40):
                    session.type_plain(typing[piece:piece + 40], delay=BEGINNER_DELAY_MS)
                session.wait_until(lambda: lessons(state) > before, "the end of the lesson")
                typed += 1
                if typed == 1:
                    session.screenshot("result")
                if len(learned(state)) > len(start):
                    session.screenshot("new-key")
                    session.key("Return")
                    break
            rows = lesson_rows(folder)
            check(len(rows) == typed, f"one history row a lesson ({len(rows)} for {typed})")
            keys = set(learned(state))
            check(all(row[6].removeprefix("leçon ") in keys for row in rows),
                  "every row names a key learned: " + ", ".join(row[6] for row in rows))
            check(rows[0][6] == "leçon " + start[-1], "the first lesson works on the key just added: " + rows[0][6])
            speeds = [int(row[4]) for row in rows]
            check(all(12 <= speed <= 28 for speed in speeds), f"typed at a beginner's pace: {speeds} words a minute")
            return start, learned(state), typed, speeds
        except Failure:
            session.screenshot("failure")
            raise


def test(program, data_dir, out_dir):
    for layout, state_name in ((("fr",), "cours.txt"), (("fr", "bepo"), "cours-bepo.txt")):
        name = "-".join(layout)
        start, end, typed, speeds = run(program, data_dir, os.path.join(out_dir, name + "-5"), layout, state_name,
                                        20, 6)
        check(len(end) > len(start), f"{name}: at 5 % wrong keys a key was added within 6 lessons")
        print(f"{name}, 5 % wrong keys, {speeds} words a minute: key {end[-1]} added after {typed} lessons")
    start, end, typed, speeds = run(program, data_dir, os.path.join(out_dir, "fr-14"), ("fr",), "cours.txt", 7, 3)
    check(end == start, "at 14 % wrong keys no key was added")
    print(f"fr, 14 % wrong keys, {speeds} words a minute: no key added in {typed} lessons")


if __name__ == "__main__":
    main_with_sessions(test, sys.argv)
