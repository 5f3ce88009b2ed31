# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A new user opens the typing course (F3) and types its first lessons with real key
events, on classic AZERTY and on BÉPO: typed faster than the target, the next key unlocks;
slower than the target (here a target of 60 words per minute), it does not. The lessons
are read from the course window with Ctrl+C and typed with xdotool, whose delay is split
between a key's press and its release: a delay of 40 ms strikes a key every 20 ms (500 words
per minute), one of 400 ms every 200 ms (50 words per minute)."""

import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import Failure, Session, check, main_with_sessions  # noqa: E402

COURSE_TITLE = "^Apprendre à taper"


def unlocked(path):
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        found = re.search(r"^débloquées=(\d+)$", f.read(), re.M)
    return int(found.group(1)) if found else None


def lessons(path):
    with open(path, encoding="utf-8") as f:
        found = re.search(r"^leçons=(\d+)$", f.read(), re.M)
    return int(found.group(1)) if found else 0


def run(program, data_dir, out_dir, layout, state_name, delay_ms, target, lesson_count):
    with Session(program, data_dir, out_dir, layout) as session:
        folder = os.path.join(session.xdg, "Clavelle")
        state = os.path.join(folder, state_name)
        if target is not None:
            os.makedirs(folder)
            with open(state, "w", encoding="utf-8") as f:
                f.write(f"objectif={target}\n")
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
                session.type_plain(text, delay=delay_ms)
                session.wait_until(lambda: os.path.exists(state) and lessons(state) > before, "the end of the lesson")
                if first is None:
                    first = unlocked(state)
                if target is None and unlocked(state) > first:
                    break
            session.screenshot("after-lessons")
            return first, unlocked(state)
        except Failure:
            session.screenshot("failure")
            raise


def test(program, data_dir, out_dir):
    for layout, state_name in ((("fr",), "cours.txt"), (("fr", "bepo"), "cours-bepo.txt")):
        name = "-".join(layout)
        start, end = run(program, data_dir, os.path.join(out_dir, name + "-fast"), layout, state_name, 40, None, 8)
        check(end > start, f"{name}: typed above the target, the next key unlocked ({start} then {end})")
        print(f"{name}: above the target, keys unlocked {start} -> {end}")
        start, end = run(program, data_dir, os.path.join(out_dir, name + "-slow"), layout, state_name, 400, 60, 4)
        check(end == start, f"{name}: typed below the target, no key unlocked ({start} then {end})")
        print(f"{name}: below the target, keys unlocked {start} -> {end}")


if __name__ == "__main__":
    main_with_sessions(test, sys.argv)
