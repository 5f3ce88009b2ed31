# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The error sound is heard: under a PulseAudio server of its own with a null sink, the
sink's monitor is recorded while wrong keys are typed, with "Son activé" checked (sound)
and unchecked (silence); between sounds the program's stream is corked. Prints the delay
from the key to the sound's first sample."""

import array
import bisect
import math
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(__file__))
from x11session import check, main  # noqa: E402

SKIP = 77
RATE = 44100
MEMO1 = (300, 100)
EDIT2 = (300, 183)
SOUND_CHECKBOX = (203, 401)
MODEL = "Bonjour"
# Enough keys to catch a stream that stops starting after a few sounds.
WRONG_KEYS = 8
LOUD = 2000


class PulseServer:
    """A PulseAudio daemon in a temporary runtime folder with one null sink."""

    def __enter__(self):
        self.dir = tempfile.mkdtemp(prefix="clavelle-pulse-")
        self.env = dict(os.environ, HOME=self.dir, XDG_RUNTIME_DIR=self.dir,
                        PULSE_RUNTIME_PATH=os.path.join(self.dir, "pulse"))
        self.socket = os.path.join(self.dir, "pulse", "native")
        self.env["PULSE_SERVER"] = "unix:" + self.socket
        self.log = open(os.path.join(self.dir, "log"), "w")
        self.proc = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "-L", "module-null-sink sink_name=clavelle rate=44100 channels=1",
             "-L", "module-native-protocol-unix auth-anonymous=1",
             "-L", "module-always-sink"],
            env=self.env, stdout=self.log, stderr=self.log)
        deadline = time.time() + 10
        while time.time() < deadline and self.proc.poll() is None:
            if subprocess.run(["pactl", "info"], env=self.env, capture_output=True).returncode == 0:
                return self
            time.sleep(0.1)
        with open(os.path.join(self.dir, "log")) as log:
            reason = log.read()
        self.__exit__()
        print("SKIPPED: PulseAudio does not start here:\n" + reason)
        sys.exit(SKIP)

    def __exit__(self, *exc):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(5)
        self.log.close()
        shutil.rmtree(self.dir, ignore_errors=True)


class Recorder:
    """Records the null sink's monitor, noting when each chunk arrived (the reading thread
    only stores bytes, so that it keeps up with the sound server)."""

    def __init__(self, env):
        self.proc = subprocess.Popen(
            ["parec", "-d", "clavelle.monitor", "--raw", "--format=s16le", "--rate=%d" % RATE,
             "--channels=1", "--latency-msec=2"], env=env, stdout=subprocess.PIPE, bufsize=0)
        self.chunks = []  # (arrival time, bytes)
        self.thread = threading.Thread(target=self.read, daemon=True)
        self.thread.start()

    def read(self):
        while True:
            data = self.proc.stdout.read(512)
            if not data:
                return
            self.chunks.append((time.monotonic(), data))

    def loud_since(self, moment):
        """True when a chunk that arrived after `moment` holds a loud sample."""
        for arrival, chunk in reversed(list(self.chunks)):
            if arrival < moment:
                return False
            values = array.array("h", chunk[: len(chunk) // 2 * 2])
            if values and max(values) > LOUD or min(values) < -LOUD:
                return True
        return False

    def stop(self):
        self.proc.terminate()
        self.proc.wait(5)
        self.thread.join(5)
        data = b"".join(chunk for _, chunk in self.chunks)
        self.samples = array.array("h", data[: len(data) // 2 * 2])
        # Capture time of each sample: its chunk's arrival less what followed it in the chunk.
        self.ends = []
        total = 0
        for arrival, chunk in self.chunks:
            total += len(chunk)
            self.ends.append((total // 2, arrival))

    def time_of(self, index):
        position = bisect.bisect_right(self.ends, (index, float("inf")))
        end, arrival = self.ends[min(position, len(self.ends) - 1)]
        return arrival - (end - index) / RATE

    def between(self, start, stop):
        """Indices of the samples captured between two moments."""
        first = next((i for i in range(0, len(self.samples), 64) if self.time_of(i) >= start), len(self.samples))
        last = next((i for i in range(first, len(self.samples), 64) if self.time_of(i) >= stop), len(self.samples))
        return first, last

    def rms(self, start, stop):
        first, last = self.between(start, stop)
        part = self.samples[first:last]
        return math.sqrt(sum(v * v for v in part) / len(part)) if part else 0.0

    def onset(self, start, stop):
        """The capture time of the first loud sample between two moments, or None."""
        first, last = self.between(start, stop)
        return next((self.time_of(i) for i in range(first, last) if abs(self.samples[i]) > LOUD), None)


def wrong_keys(session, recorder, sound):
    """Types wrong keys into the typing field, each after the sound of the one before when
    `sound` (a busy machine may delay a sound, which must still come); returns the moments
    the keys were sent and how many were heard within 2 s."""
    session.click(*EDIT2)
    time.sleep(0.5)
    sent, heard = [], 0
    for _ in range(WRONG_KEYS):
        sent.append(time.monotonic())
        session.key("z")
        if sound:
            deadline = time.monotonic() + 2
            while not recorder.loud_since(sent[-1]) and time.monotonic() < deadline:
                time.sleep(0.02)
            heard += recorder.loud_since(sent[-1])
        time.sleep(0.4)
    sent.append(time.monotonic())
    return sent, heard


def test(session):
    with PulseServer() as pulse:
        session.start({"PULSE_SERVER": pulse.env["PULSE_SERVER"]})
        session.wait_until(lambda: os.path.exists(session.progress_path), "the first paint")
        time.sleep(0.5)
        session.click(*MEMO1)
        session.key("ctrl+a")
        session.type_plain(MODEL)
        recorder = Recorder(pulse.env)
        try:
            time.sleep(0.5)
            heard, count = wrong_keys(session, recorder, True)
            inputs = subprocess.run(["pactl", "list", "sink-inputs"], env=pulse.env, capture_output=True,
                                    text=True).stdout
            corked = [line.split(":")[1].strip() for line in inputs.splitlines() if "Corked:" in line]
            session.screenshot("sound-on")
            session.click(*SOUND_CHECKBOX)
            silent, _ = wrong_keys(session, recorder, False)
            session.screenshot("sound-off")
        finally:
            recorder.stop()
        delays = [recorder.onset(a, b) for a, b in zip(heard, heard[1:])]
        delays = [None if t is None else (t - a) * 1000 for t, a in zip(delays, heard)]
        loud, quiet = recorder.rms(heard[0], heard[-1]), recorder.rms(silent[0], silent[-1])
        print("RMS with sound: %.1f, without: %.1f; delays (ms): %s" % (
            loud, quiet, ", ".join("-" if d is None else "%.1f" % d for d in delays)))
        check(loud > 300, "a wrong key is heard with \"Son activé\" checked")
        check(count == WRONG_KEYS, "every wrong key is heard: %d of %d" % (count, WRONG_KEYS))
        check(quiet < 5, "no sound with \"Son activé\" unchecked")
        check(corked == ["yes"], "the program's stream is corked once its sound is played out: %s" % corked)
        delays = sorted(d for d in delays if d is not None)
        if delays:
            print("error_sound_latency_ms %.1f ms" % delays[len(delays) // 2])
        check(session.close() == 0, "the program ends cleanly")


if __name__ == "__main__":
    for tool in ("pulseaudio", "pactl", "parec"):
        if not shutil.which(tool):
            print(f"SKIPPED: {tool} is missing (Debian pulseaudio, pulseaudio-utils: run scripts/install-deps)")
            sys.exit(SKIP)
    main(test, sys.argv)
