# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The program starts under X: its window, the progress file made at the first paint and
written again when the window is closed; without a session bus, no bus launcher holds the
window back."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import check, main, total_samples  # noqa: E402


def test(session):
    session.start()
    session.wait_until(lambda: os.path.exists(session.progress_path), "the progress file")
    session.wait_until(lambda: os.path.getsize(session.progress_path) == 671058, "the whole progress file")
    record = session.progress_bytes()
    check(total_samples(record) == 0, "a new progress file holds no sample")
    time.sleep(1)
    session.screenshot("window")
    created = os.stat(session.progress_path)
    check(session.close() == 0, "the program ends cleanly when its window is closed")
    closed = os.stat(session.progress_path)
    check(closed.st_ino != created.st_ino or closed.st_mtime_ns != created.st_mtime_ns,
          "the progress file is written again at close")
    check(closed.st_size == 671058, "the saved file has the record's exact size")

    # A session with no D-Bus bus: a dbus-launch that never answers must not be waited for.
    launcher = os.path.join(session.home, "bin")
    os.makedirs(launcher)
    with open(os.path.join(launcher, "dbus-launch"), "w") as script:
        script.write("#!/bin/sh\nexec sleep 40\n")
    os.chmod(os.path.join(launcher, "dbus-launch"), 0o755)
    session.env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    session.start({"PATH": launcher + os.pathsep + session.env["PATH"]})
    check(session.close() == 0, "the program ends cleanly without a session bus")


if __name__ == "__main__":
    main(test, sys.argv)
