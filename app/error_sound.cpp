// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/error_sound.h"

#include <QApplication>
#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QtEndian>

namespace {

// The sound is compiled into the program (see app/make_error_sound.py).
const char* const kSoundResource = ":/sounds/erreur.wav";

quint32 Le32(const QByteArray& bytes, qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }
quint16 Le16(const QByteArray& bytes, qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); }

}  // namespace

bool ReadWav(const QByteArray& file, QAudioFormat& format, QByteArray& samples) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") return false;
    bool haveFormat = false;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const quint32 size = Le32(file, at + 4);
        const qsizetype body = at + 8;
        if (size > static_cast<quint64>(file.size() - body)) return false;
        if (id == "fmt " && size >= 16) {
            const quint16 encoding = Le16(file, body);
            const quint16 bits = Le16(file, body + 14);
            if (encoding != 1 || bits != 16) return false;  // 16-bit PCM only
            format.setChannelCount(Le16(file, body + 2));
            format.setSampleRate(static_cast<int>(Le32(file, body + 4)));
            format.setSampleFormat(QAudioFormat::Int16);
            haveFormat = format.isValid();
        } else if (id == "data" && haveFormat) {
            samples = file.mid(body, size);
            return !samples.isEmpty();
        }
        at = body + size + (size & 1);
    }
    return false;
}

ErrorSound::ErrorSound() {
    // A sound server is found through the session's runtime folder or a server named in the
    // environment. Without either, none can be reached, and asking for one would make the
    // sound library create a folder of its own in the home folder: the bell serves.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && qEnvironmentVariableIsEmpty("PULSE_SERVER")) return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;
    QFile file(QString::fromLatin1(kSoundResource));
    QAudioFormat format;
    if (!file.open(QIODevice::ReadOnly) || !ReadWav(file.readAll(), format, samples_)) return;
    sink_ = std::make_unique<QAudioSink>(device, format);
    // The whole sound fits in the stream's buffer: it is handed over in one write, so that
    // the sound server starts it at once and plays it out without waiting on this thread.
    sink_->setBufferSize(static_cast<qsizetype>(samples_.size()));
    // Once the sound has been played out, the stream is closed: nothing stays open between sounds.
    QObject::connect(sink_.get(), &QAudioSink::stateChanged, sink_.get(), [this](QAudio::State state) {
        if (state == QAudio::IdleState && sounding_) {
            sounding_ = false;
            sink_->stop();
        }
    });
}

ErrorSound::~ErrorSound() = default;

void ErrorSound::Play() {
    if (!sink_) {
        QApplication::beep();
        return;
    }
    // A sound still playing is cut and started again: each wrong key is heard at once.
    sounding_ = false;
    sink_->stop();
    QIODevice* stream = sink_->start();
    if (!stream || sink_->error() == QAudio::OpenError) {
        QApplication::beep();
        return;
    }
    stream->write(samples_);
    sounding_ = true;
}
