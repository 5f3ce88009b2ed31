# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A second start on the same progress folder says that the program is already open and
ends, leaving the first one running; a file-size limit makes the save fail with a message
instead of ending the program."""

import os
import resource
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import check, main  # noqa: E402


def test(session):
    session.start()
    first = session.app
    session.wait_until(lambda: os.path.exists(session.progress_path), "the progress file")

    second = subprocess.Popen([session.program], cwd=session.data_dir, env=session.env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    session.wait_for_windows(2)
    time.sleep(0.5)
    session.screenshot("already-open")
    session.key("Return")
    try:
        code = second.wait(20)
    except subprocess.TimeoutExpired:
        second.kill()
        raise
    check(code == 1, f"the second start ends once told (exit code {code})")
    check(first.poll() is None, "the first program goes on")
    check(session.close() == 0, "the first program ends cleanly")

    # A file-size limit below the record's size, in a fresh folder: the first save fails.
    def limit_file_size():
        resource.setrlimit(resource.RLIMIT_FSIZE, (100000, 100000))

    env = dict(session.env)
    env["XDG_DATA_HOME"] = os.path.join(session.home, "limited")
    session.app = subprocess.Popen([session.program], cwd=session.data_dir, env=env,
                                   preexec_fn=limit_file_size, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
    session.window = session.wait_for_windows(1)[0]
    session.wait_for_windows(2)  # the message of the failed save
    time.sleep(0.5)
    session.screenshot("disk-full")
    check(session.app.poll() is None, "the program is still running")
    session.key("Return")
    session.wait_until(lambda: len(session.windows()) == 1, "the message to close")
    session.run(["wmctrl", "-c", "Entraînement dactylographique (Version 1.9)"])
    session.wait_for_windows(2)  # the save at close fails the same way
    session.key("Return")
    code = session.app.wait(20)
    check(code == 0, f"the program ends normally, not by a signal (exit code {code})")


if __name__ == "__main__":
    main(test, sys.argv)
