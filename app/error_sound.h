// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sound of a wrong key, played through the desktop's sound server (PulseAudio, or
// PipeWire through its PulseAudio service) by a thread of its own.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <thread>

class SoundPlayer;

// Starts, at construction, a thread that connects to the sound server and prepares the
// sound, so that the first wrong key is not late. Play() only hands a request to that
// thread and never waits on the sound server: a server that is frozen, slow or still
// being reached costs a silent knock, never a delay. Where no server can be reached or it
// has no audio output (or the sound cannot be read), Play() rings the window system's bell.
// Constructed, played and destroyed on the window thread.
class ErrorSound {
public:
    ErrorSound();
    ~ErrorSound();
    ErrorSound(const ErrorSound&) = delete;
    ErrorSound& operator=(const ErrorSound&) = delete;

    void Play();

private:
    std::shared_ptr<SoundPlayer> player_;
    std::thread thread_;
    std::future<void> ended_;
};

// A PCM WAV file's sound: 16-bit little-endian samples.
struct PcmSound {
    uint8_t Channels = 0;
    uint32_t Rate = 0;
    QByteArray Samples;
};
// The sound of a 16-bit PCM WAV file; nothing when it is not one.
std::optional<PcmSound> ReadWav(const QByteArray& file);
