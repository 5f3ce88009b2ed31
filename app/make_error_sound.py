#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the error sound as a WAV file: a short, soft two-tone knock (16-bit mono, 44.1 kHz).

It starts at full strength on its first sample, so that it is heard as soon as it is played,
and fades out within 90 ms, short enough not to cover the next keystroke."""

import math
import struct
import sys
import wave

RATE = 44100
DURATION_S = 0.09
ATTACK_S = 0.002
# A low fundamental with a slightly detuned fifth: clearly "wrong", not shrill.
PARTIALS = ((220.0, 0.55), (329.0, 0.30), (660.0, 0.10))


def samples():
    count = int(RATE * DURATION_S)
    for i in range(count):
        t = i / RATE
        envelope = min(1.0, (t + 1 / RATE) / ATTACK_S) * math.exp(-t / 0.025)
        value = sum(amp * math.sin(2 * math.pi * freq * t + math.pi / 2) for freq, amp in PARTIALS)
        yield int(max(-1.0, min(1.0, value * envelope)) * 0.8 * 32767)


def main(path):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", s) for s in samples()))


if __name__ == "__main__":
    main(sys.argv[1])
