# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The whole flow as a user lives it: a generated sentence at start, read off the screen
through the clipboard and typed with real key events (wrong keys, dead-key accents,
capitals), the verdict, the saved statistics, a second start that now gives speeds, a
second run, its two rows in historique.csv and two points in "Progression", a
five-sentence text and a restart with Escape. All of it under C.UTF-8, then again under
fr_FR.UTF-8, where numbers are shown with a comma and still written with a point."""

import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import check, main, total_samples, typeable  # noqa: E402

MEMO1 = (300, 100)
EDIT2 = (300, 183)
MEMO2 = (300, 270)
EDIT1 = (300, 346)
SPIN = (360, 420)
STATS_TITLE = "Statistiques détaillées"
# A history row as written whatever the locale: numbers with a point, then the layout.
HISTORY_ROW = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d,\d+,\d+,\d+,\d+,\d+\.\d,"
                         r"(normal|difficile),fin du texte,fr$")


def copy_from(session, point):
    """Selects the whole text of a control by the keyboard and reads the clipboard."""
    session.click(*point)
    session.key("ctrl+a", "ctrl+c")
    time.sleep(0.3)
    return session.clipboard()


def read_typing_field(session):
    """The typing field's text, selected with the mouse and read from the X selection
    (the field takes no key for it: every key is checked against the model)."""
    window = session.window
    session.run(["xdotool", "mousemove", "--window", window, "12", str(EDIT2[1]), "mousedown", "1",
                 "mousemove", "--window", window, "600", str(EDIT2[1]), "mouseup", "1"])
    time.sleep(0.3)
    return session.run(["xclip", "-o", "-selection", "primary"], check_rc=False)


def typeable_model(session, typed_length=None):
    """The model text; one whose part to be typed (the whole text, or its first
    typed_length characters) holds a letter the French keyboard lacks (É, œ, ñ...) is
    replaced by a new one, invented with Enter."""
    text = copy_from(session, MEMO1)
    for _ in range(20):
        if typeable(text[:typed_length]):
            break
        session.key("Return")
        time.sleep(1)
        text = copy_from(session, MEMO1)
    check(typeable(text[:typed_length]), "a text typeable on the French keyboard: " + text)
    return text


def type_with_mistakes(session, model):
    """Types the model with a wrong key before its 6th and its 21st character."""
    session.type_text(model[:5])
    session.type_plain("*")  # never in a generated text
    session.type_text(model[5:20])
    session.type_plain("*")
    session.type_text(model[20:])


def history_rows(session):
    with open(os.path.join(session.xdg, "Clavelle", "historique.csv"), encoding="utf-8") as f:
        return f.read().splitlines()[1:]


def chart_points(session):
    """The points of "Progression", copied from the chart with Ctrl+C (one a line, after a
    header line)."""
    session.key("F2")
    session.wait_until(lambda: stats_window(session), "the statistics window")
    time.sleep(0.8)
    window = stats_window(session)
    session.key("ctrl+Tab", "ctrl+Tab")  # to "Progression"
    time.sleep(0.6)
    session.click(330, 330, window=window)
    session.key("ctrl+c")
    time.sleep(0.3)
    session.screenshot("progression")
    lines = session.clipboard().splitlines()
    session.key("Escape")
    session.wait_until(lambda: not stats_window(session), "the statistics window to close")
    return lines[1:]


def stats_window(session):
    out = session.run(["xdotool", "search", "--onlyvisible", "--name", "^" + STATS_TITLE], check_rc=False)
    return out.split()[0] if out.split() else None


def test(session, locale="C.UTF-8"):
    session.env["LC_ALL"] = locale
    french = locale.startswith("fr")
    session.start()
    session.wait_until(lambda: os.path.exists(session.progress_path), "the first paint")
    time.sleep(0.5)
    session.screenshot("start")

    model = typeable_model(session)
    check(re.match(r"^[A-ZÀ-Ý]", model) and model.rstrip().endswith((".", "!")), "a generated sentence: " + model)
    stats = copy_from(session, MEMO2)
    check(stats.startswith("Aucune information ne pourra être donnée"), "no statistics yet: " + stats)
    print("model:", model)

    session.type_until_verdict(EDIT2, lambda: type_with_mistakes(session, model.replace("\u00a0", " ")))
    session.screenshot("verdict")
    session.key("Return")
    session.wait_until(lambda: len(session.windows()) == 1, "the verdict box to close")
    summary = copy_from(session, EDIT1)
    check(summary.startswith("Votre vitesse moyenne est de ") and "% d'erreurs" in summary, "summary: " + summary)
    check(" 0.0% " not in summary and " 0,0% " not in summary, "the wrong keys were counted: " + summary)
    check(re.search(r"\d,\d% d'erreurs" if french else r"\d\.\d% d'erreurs", summary),
          "the rate shown with the locale's separator: " + summary)
    session.screenshot("after-verdict")
    samples = total_samples(session.progress_bytes())
    check(samples >= len(model) // 2, f"the run's samples were saved ({samples})")
    check(session.close() == 0, "the program ends cleanly")

    # A second start now knows the user.
    session.start()
    session.wait_until(lambda: session.app.poll() is None and len(session.windows()) == 1, "the window")
    time.sleep(2)
    stats = copy_from(session, MEMO2)
    check("vous devriez pouvoir taper ce texte à la vitesse de" in stats, "an expected speed: " + stats)
    check("Actuellement, votre niveau de frappe est de" in stats, "a present speed: " + stats)
    session.screenshot("second-start")

    # A second run: two valid rows, two points in "Progression".
    model = typeable_model(session).replace("\u00a0", " ")
    session.type_until_verdict(EDIT2, lambda: session.type_text(model))
    session.key("Return")
    session.wait_until(lambda: len(session.windows()) == 1, "the verdict box to close")
    rows = history_rows(session)
    check(len(rows) == 2 and all(HISTORY_ROW.match(row) for row in rows), f"two valid history rows: {rows}")
    points = chart_points(session)
    number = r"\d+,\d" if french else r"\d+\.\d"
    check(len(points) == 2 and all(re.fullmatch(r"\d+\t" + number + r"\t" + number, p) for p in points),
          f"two points in Progression: {points}")

    # Five sentences, invented with Enter.
    session.click(*SPIN)
    session.key("ctrl+a")
    session.type_plain("5")
    session.key("Return")
    time.sleep(1)
    text = typeable_model(session, typed_length=4)  # only its start is typed below
    sentences = re.findall(r"[.!](?:\s|$)", text)
    check(len(sentences) == 5, f"five sentences: {text}")
    session.screenshot("five-sentences")

    # Escape restarts: the typing field goes back to the start of the text.
    session.click(*EDIT2)
    start = text[:4]
    session.type_text(start)
    typed = read_typing_field(session)
    check(typed.strip() == start.strip(), f"the typed start {typed!r} is shown")
    session.key("Escape")
    session.screenshot("after-escape")
    check(read_typing_field(session).strip() == "", "Escape emptied the typing field")
    check(len(session.windows()) == 1, "no verdict for a restarted run")
    session.type_text(start)
    check(read_typing_field(session).strip() == start.strip(), "the text is typed again from its start")
    check(session.close() == 0, "the program ends cleanly")


if __name__ == "__main__":
    for name in ("C.UTF-8", "fr_FR.UTF-8"):
        print("locale", name)
        main(lambda session, name=name: test(session, name), sys.argv)
