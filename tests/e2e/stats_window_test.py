# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The detailed statistics as a user reaches them: two texts typed with real key events
give two rows of historique.csv; F2 opens "Statistiques détaillées" (heat map, slowest
pairs, chart), Escape closes it, the button opens it again; then at scales 1.5 and 2 both
windows lie inside the 1024 x 768 screen, title bars included."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import check, main  # noqa: E402
from whole_flow_test import EDIT2, typeable_model  # noqa: E402

STATS_TITLE = "Statistiques détaillées"
BUTTON = (500, 26)


def stats_windows(session):
    out = session.run(["xdotool", "search", "--onlyvisible", "--name", "^" + STATS_TITLE], check_rc=False)
    return out.split()


def wait_for_stats(session, shown=True):
    session.wait_until(lambda: bool(stats_windows(session)) == shown,
                       "the statistics window to " + ("open" if shown else "close"))
    time.sleep(0.8)


def type_one_text(session):
    model = typeable_model(session).replace("\u00a0", " ")
    session.type_until_verdict(EDIT2, lambda: session.type_text(model))
    session.key("Return")
    session.wait_until(lambda: len(session.windows()) == 1, "the verdict box to close")


def history_rows(session):
    path = os.path.join(session.xdg, "Clavelle", "historique.csv")
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    check(lines and lines[0].startswith("date_heure,"), "the history has its header: " + repr(lines[:1]))
    return lines[1:]


def check_inside_screen(session, window, what):
    """The window's client area inside the screen, with room above it for its title bar.
    (xwininfo, not xdotool: under a window manager xdotool adds the title bar's height.)"""
    out = session.run(["xwininfo", "-id", window])
    field = {"x": "Absolute upper-left X:", "y": "Absolute upper-left Y:", "w": "Width:", "h": "Height:"}
    value = {k: int(next(line.split(":")[1] for line in out.splitlines() if line.strip().startswith(label)))
             for k, label in field.items()}
    x, y, w, h = value["x"], value["y"], value["w"], value["h"]
    check(x >= 0 and y >= 10 and x + w <= 1024 and y + h <= 768,
          f"{what} lies inside the 1024 x 768 screen: {w} x {h} at {x}, {y}")


def shoot_tabs(session, suffix):
    window = stats_windows(session)[0]
    session.run(["import", "-window", window, os.path.join(session.out_dir, f"stats-window{suffix}.png")])
    session.screenshot("stats-keyboard" + suffix)
    for name in ("pairs", "chart"):
        session.key("ctrl+Tab")
        time.sleep(0.6)
        session.screenshot(f"stats-{name}{suffix}")


def test(session):
    session.start()
    session.wait_until(lambda: os.path.exists(session.progress_path), "the first paint")
    time.sleep(0.5)
    type_one_text(session)
    session.key("Return")  # a new text
    time.sleep(1)
    type_one_text(session)
    rows = history_rows(session)
    check(len(rows) == 2, f"two judged runs, two history rows: {rows}")
    check(all(row.split(",")[7] == "fin du texte" for row in rows), f"ended by the end of the text: {rows}")

    session.click(*EDIT2)
    session.key("F2")
    wait_for_stats(session)
    shoot_tabs(session, "")
    session.key("Escape")
    wait_for_stats(session, shown=False)
    check(len(session.windows()) == 1, "the main window stays")
    session.click(*BUTTON)
    wait_for_stats(session)
    session.screenshot("stats-from-button")
    session.key("Escape")
    wait_for_stats(session, shown=False)
    check(session.close() == 0, "the program ends cleanly")

    for scale in ("1.5", "2"):
        session.start({"QT_SCALE_FACTOR": scale})
        time.sleep(3)
        check_inside_screen(session, session.window, f"at scale {scale}, the main window")
        session.key("F2")
        wait_for_stats(session)
        check_inside_screen(session, stats_windows(session)[0], f"at scale {scale}, the statistics window")
        shoot_tabs(session, "-scale-" + scale)
        session.key("Escape")
        wait_for_stats(session, shown=False)
        check(session.close() == 0, "the program ends cleanly")


if __name__ == "__main__":
    main(test, sys.argv)
