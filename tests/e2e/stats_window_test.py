# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The detailed statistics as a user reaches them: two texts typed with real key events
give two rows of historique.csv; F2 opens "Statistiques détaillées" (heat map, slowest
pairs, chart), Escape closes it, the button opens it again; then at scales 1.5 and 2 both
windows lie inside the 1024 x 768 screen, title bars included. Last, on BÉPO and on the
AFNOR AZERTY given by the X server, with a record of that layout holding samples, the
window shows that layout's record and leaves the classic one alone (the pictures of the
README: statistiques-bepo.png, statistiques-afnor.png)."""

import os
import random
import struct
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


def crafted_record(seed):
    """A record (51 x 51 cells of 128 times, a count and a pad byte) with samples on the
    pairs of the letters, the space, the comma and the period, and a few capitals; each key
    has a pace of its own."""
    rng = random.Random(seed)
    typed = list(range(1, 33)) + [38]  # letters, the keys beside them, the space
    pace = {key: rng.randint(130, 330) for key in typed}
    cells = bytearray(51 * 51 * 258)

    def put(previous, current, count):
        times = [max(60, int(rng.gauss(pace.get(current, 200), 35))) for _ in range(count)]
        offset = ((previous - 1) * 51 + (current - 1)) * 258
        cells[offset:offset + 2 * count] = struct.pack(f"<{count}H", *times)
        cells[offset + 256] = count

    for previous in typed:
        for current in typed:
            if previous != current and rng.random() < 0.3:
                put(previous, current, rng.randint(3, 40))
    for current in rng.sample(range(1, 27), 8):
        put(36, current, rng.randint(2, 12))  # Maj before a capital
    return bytes(cells)


def shoot_layout(session, variant, record_name, picture):
    """The statistics of a layout that the X server gives, read from its own record."""
    folder = os.path.join(session.xdg, "Clavelle")
    classic = session.progress_bytes()
    record = crafted_record(len(variant))
    with open(os.path.join(folder, record_name), "wb") as f:
        f.write(record)
    session.run(["setxkbmap", "fr", variant])
    session.start()
    time.sleep(2)
    session.key("F2")
    wait_for_stats(session)
    window = stats_windows(session)[0]
    session.run(["import", "-frame", "-window", window, os.path.join(session.out_dir, picture)])
    session.key("Escape")
    wait_for_stats(session, shown=False)
    check(session.close() == 0, "the program ends cleanly")
    with open(os.path.join(folder, record_name), "rb") as f:
        kept = f.read()
    check(kept == record, f"{record_name} was read and kept as it was")
    check(session.progress_bytes() == classic, f"on fr({variant}) the classic record is left alone")


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

    shoot_layout(session, "bepo", "progression1_9-bepo.dat", "statistiques-bepo.png")
    shoot_layout(session, "afnor", "progression1_9-afnor.dat", "statistiques-afnor.png")


if __name__ == "__main__":
    main(test, sys.argv)
