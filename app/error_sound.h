// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sound of a wrong key, played through the desktop's sound server.
#pragma once

#include <QAudioSink>
#include <QByteArray>
#include <memory>

// Reads the sound and prepares the audio output once, at construction, so that the first
// wrong key is not late. Where no audio output exists (or the sound cannot be read)
// Play() rings the window system's bell instead.
class ErrorSound {
public:
    ErrorSound();
    ~ErrorSound();
    ErrorSound(const ErrorSound&) = delete;
    ErrorSound& operator=(const ErrorSound&) = delete;

    void Play();

private:
    QByteArray samples_;
    std::unique_ptr<QAudioSink> sink_;
    bool sounding_ = false;  // written to the stream, not yet played out
};

// The format and the samples of a PCM WAV file; false when it is not one.
bool ReadWav(const QByteArray& file, QAudioFormat& format, QByteArray& samples);
