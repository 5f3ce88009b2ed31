# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A sound server that never answers costs a silent knock and nothing else. With PulseAudio
stopped (SIGSTOP) before the start, with PulseAudio stopped while the program runs, with a
socket that accepts and never reads, and with the sound thread stuck inside a call to the
sound library: the window appears at once, a wrong key is answered at once, the record and
the history row hold the keys as typed, and closing ends the program at once. A second
start on the same folder says "already open" at once too."""

import csv
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(__file__))
from sound_test import EDIT2, MEMO1, PulseServer  # noqa: E402
from x11session import check, main  # noqa: E402

MODEL = "bonjour"
# xdotool's delay between characters: one key press every half of it.
KEY_DELAY_MS = 200
PRESS_MS = KEY_DELAY_MS / 2
LIMIT_S = 1.0
ANSWER_LIMIT_MS = 50


class SilentSocket:
    """A unix socket that accepts connections and never reads nor writes on them."""

    def __enter__(self):
        self.dir = tempfile.mkdtemp(prefix="clavelle-silent-")
        self.path = os.path.join(self.dir, "native")
        self.server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.server.bind(self.path)
        self.server.listen(16)
        self.held = []
        threading.Thread(target=self.accept, daemon=True).start()
        return self

    def accept(self):
        while True:
            try:
                self.held.append(self.server.accept()[0])
            except OSError:
                return

    def __exit__(self, *exc):
        self.server.close()
        for connection in self.held:
            connection.close()
        shutil.rmtree(self.dir, ignore_errors=True)


# Preloaded into the program: a connection to a socket of this name never returns, as if
# the sound thread were stuck inside the sound library.
STUCK_NAME = "stuck-server"
STUCK_SHIM = r"""
#define _GNU_SOURCE
#include <dlfcn.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
int connect(int fd, const struct sockaddr* addr, socklen_t len) {
    int (*real)(int, const struct sockaddr*, socklen_t) = dlsym(RTLD_NEXT, "connect");
    if (addr->sa_family == AF_UNIX && strstr(((const struct sockaddr_un*)addr)->sun_path, "%s"))
        for (;;) pause();
    return real(fd, addr, len);
}
""" % STUCK_NAME


def stuck_connect_shim(folder):
    source, library = os.path.join(folder, "stuck.c"), os.path.join(folder, "stuck.so")
    with open(source, "w") as f:
        f.write(STUCK_SHIM)
    subprocess.run(["cc", "-shared", "-fPIC", "-o", library, source, "-ldl"], check=True)
    return library


def samples(record):
    """Every interval the record holds, in milliseconds."""
    found = []
    for cell in range(51 * 51):
        base = cell * 258
        count = record[base + 256]
        found += struct.unpack_from("<%dH" % count, record, base)
    return found


def answer_ms(session, sent):
    """Milliseconds from `sent` until the program answers a clipboard request made after
    the one that follows the key (the program owns the clipboard): the window thread
    answers it only once it has handled the key events sent before."""
    for _ in range(2):
        check(session.clipboard() == MODEL, "the program answers for the clipboard")
    return (time.monotonic() - sent) * 1000


def scenario(session, name, env, freeze=None, second_start=False):
    """Starts the program with `env`, types the model with a wrong key and closes, checking
    and printing the times. `freeze`, when given, is called once the program runs; with
    `second_start`, a second program is started on the same folder before closing."""
    folder = os.path.join(session.home, name)
    env = dict(env, XDG_DATA_HOME=folder)
    record_path = os.path.join(folder, "Clavelle", "progression1_9.dat")
    started = time.monotonic()
    session.start(env)
    start_s = time.monotonic() - started
    session.wait_until(lambda: os.path.exists(record_path), "the first paint")
    time.sleep(0.3)
    session.click(*MEMO1)
    session.key("ctrl+a")
    session.type_plain(MODEL)
    session.key("ctrl+a", "ctrl+c")
    session.click(*EDIT2)
    if freeze:
        session.key("z")  # heard: the sound is playing, or played, when the server stops
        time.sleep(0.5)
        freeze()
    idle_ms = answer_ms(session, time.monotonic())

    # Typed in three goes with a wrong key between, timing the answer to the wrong key.
    first = time.monotonic()
    session.type_plain(MODEL[:3], delay=KEY_DELAY_MS)
    session.run(["xdotool", "key", "z"])
    wrong_ms = answer_ms(session, time.monotonic())
    session.type_plain(MODEL[3:], delay=KEY_DELAY_MS)
    last = time.monotonic()
    session.wait_for_windows(2, timeout=60)
    verdict_s = time.monotonic() - last
    time.sleep(0.7)  # the verdict box takes keys after a moment
    session.key("Return")
    session.wait_until(lambda: len(session.windows()) == 1, "the verdict box to close", timeout=60)

    second_s = already_open(session, env) if second_start else None

    closed = time.monotonic()
    session.run(["wmctrl", "-c", "Entraînement dactylographique (Version 1.9)"])
    try:
        code = session.app.wait(60)
    except subprocess.TimeoutExpired:
        code = None
    close_s = time.monotonic() - closed

    print(f"{name}_start_s {start_s:.3f} s")
    print(f"{name}_idle_answer_ms {idle_ms:.1f} ms")
    print(f"{name}_wrong_key_answer_ms {wrong_ms:.1f} ms")
    print(f"{name}_verdict_s {verdict_s:.3f} s")
    if second_s is not None:
        print(f"{name}_already_open_s {second_s:.3f} s")
    print(f"{name}_close_s {close_s:.3f} s")

    with open(record_path, "rb") as f:
        intervals = samples(f.read())
    with open(os.path.join(folder, "Clavelle", "historique.csv"), encoding="utf-8") as f:
        row = list(csv.reader(f))[-1]
    print(f"{name}: intervals {intervals}, history row {row}")
    typed_ms = (last - first) * 1000
    check(start_s < LIMIT_S, f"{name}: the window appears within 1 s ({start_s:.1f} s)")
    check(wrong_ms < ANSWER_LIMIT_MS, f"{name}: a wrong key is answered within 50 ms ({wrong_ms:.0f} ms)")
    check(verdict_s < LIMIT_S, f"{name}: the verdict within 1 s of the last key ({verdict_s:.1f} s)")
    check(second_s is None or second_s < LIMIT_S, f"{name}: \"already open\" within 1 s ({second_s} s)")
    check(close_s < LIMIT_S and code == 0, f"{name}: closing ends the program within 1 s ({close_s:.1f} s)")
    check(len(intervals) == len(MODEL) - 1 and all(PRESS_MS / 2 < t < typed_ms for t in intervals),
          f"{name}: the record holds the intervals of the keys as typed")
    characters, errors, duration = int(row[1]), int(row[2]), int(row[3])
    check((characters, errors) == (len(MODEL), 1), f"{name}: the history row counts the keys typed")
    check(PRESS_MS * (len(MODEL) - 1) * 0.8 < duration < typed_ms + 100,
          f"{name}: the history row's duration is the run's ({duration} ms, typed in {typed_ms:.0f} ms)")


def already_open(session, env):
    """Seconds until a second start on the same folder shows its "already open" box."""
    started = time.monotonic()
    second = subprocess.Popen([session.program], cwd=session.data_dir, env=dict(session.env, **env),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        session.wait_for_windows(2, timeout=60)
        shown = time.monotonic() - started
        time.sleep(0.3)
        session.key("Return")
        check(second.wait(20) == 1, "the second start ends once told")
    finally:
        if second.poll() is None:
            second.kill()
    return shown


def test(session):
    with PulseServer() as pulse:
        server = {"PULSE_SERVER": pulse.env["PULSE_SERVER"]}
        pulse.proc.send_signal(signal.SIGSTOP)
        try:
            scenario(session, "stopped", server, second_start=True)
        finally:
            pulse.proc.send_signal(signal.SIGCONT)
        try:
            scenario(session, "stopped_while_running", server,
                     freeze=lambda: pulse.proc.send_signal(signal.SIGSTOP))
        finally:
            pulse.proc.send_signal(signal.SIGCONT)
    with SilentSocket() as silent:
        scenario(session, "silent_socket", {"PULSE_SERVER": "unix:" + silent.path})
    # The sanitiser's runtime must otherwise come first among the preloaded libraries.
    scenario(session, "stuck_thread", {
        "PULSE_SERVER": "unix:" + os.path.join(session.home, STUCK_NAME),
        "LD_PRELOAD": stuck_connect_shim(session.home),
        "ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"})


if __name__ == "__main__":
    for tool in ("pulseaudio", "pactl"):
        if not shutil.which(tool):
            print(f"SKIPPED: {tool} is missing (Debian pulseaudio, pulseaudio-utils: run scripts/install-deps)")
            sys.exit(77)
    main(test, sys.argv)
