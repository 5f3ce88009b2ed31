# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A second start on the same progress folder says that the program is already open and
ends, leaving the first one running, also when the lock file cannot be written; a lock
that cannot be taken at all (a symbolic link in its place) is said, and "Quitter" ends the
program; a file-size limit makes the save fail with a message instead of ending the
program."""

import os
import resource
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import check, main  # noqa: E402


def start_second(session, env, shot):
    """Starts the program again on the same folder: one message, then it ends with 1."""
    second = subprocess.Popen([session.program], cwd=session.data_dir, env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    session.wait_for_windows(2)
    time.sleep(0.5)
    check(len(session.windows()) == 2, "one window and one message")
    session.screenshot(shot)
    session.key("Return")
    try:
        code = second.wait(20)
    except subprocess.TimeoutExpired:
        second.kill()
        raise
    check(code == 1, f"the second start ends once told (exit code {code})")


def unwritable_lock(session):
    """A lock file that cannot be opened for writing (a folder at its name, which even root
    cannot write; for another user a read-only file) still keeps one window per folder."""
    env = dict(session.env)
    env["XDG_DATA_HOME"] = os.path.join(session.home, "locked")
    lock = os.path.join(env["XDG_DATA_HOME"], "Clavelle", "clavelle.lock")
    os.makedirs(os.path.dirname(lock))
    if os.geteuid() == 0:
        os.mkdir(lock)
    else:
        with open(lock, "w"):
            pass
        os.chmod(lock, 0o444)
    session.app = subprocess.Popen([session.program], cwd=session.data_dir, env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    session.window = session.wait_for_windows(1)[0]
    time.sleep(2)
    check(len(session.windows()) == 1, "no question: the read-only lock holds")
    start_second(session, env, "already-open-read-only-lock")
    check(session.app.poll() is None, "the first program goes on")
    check(session.close() == 0, "the first program ends cleanly")

    # A symbolic link is not followed: no lock, the user is asked, Escape means "Quitter".
    env["XDG_DATA_HOME"] = os.path.join(session.home, "linked")
    lock = os.path.join(env["XDG_DATA_HOME"], "Clavelle", "clavelle.lock")
    os.makedirs(os.path.dirname(lock))
    os.symlink(os.path.join(session.home, "elsewhere"), lock)
    session.app = subprocess.Popen([session.program], cwd=session.data_dir, env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    session.wait_for_windows(1)
    time.sleep(0.5)
    session.screenshot("lock-unavailable")
    session.key("Escape")
    code = session.app.wait(20)
    check(code == 1, f"Quitter ends the program (exit code {code})")
    check(not os.path.exists(os.path.join(session.home, "elsewhere")), "nothing made at the link's end")


def test(session):
    session.start()
    first = session.app
    session.wait_until(lambda: os.path.exists(session.progress_path), "the progress file")
    start_second(session, session.env, "already-open")
    check(first.poll() is None, "the first program goes on")
    check(session.close() == 0, "the first program ends cleanly")
    unwritable_lock(session)

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
