// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the error sound's WAV file.
#include <gtest/gtest.h>

#include <QFile>
#include <QtEndian>

#include "app/error_sound.h"

namespace {

// A WAV file of 16-bit PCM (or of `bits`) with `dataSize` bytes of samples.
QByteArray Wav(quint16 channels, quint16 bits, quint32 dataSize) {
    QByteArray fmt(16, '\0');
    qToLittleEndian<quint16>(1, fmt.data());
    qToLittleEndian<quint16>(channels, fmt.data() + 2);
    qToLittleEndian<quint32>(44100, fmt.data() + 4);
    qToLittleEndian<quint16>(bits, fmt.data() + 14);
    auto chunk = [](const char* id, const QByteArray& body, quint32 size) {
        QByteArray header(id, 4);
        header.resize(8);
        qToLittleEndian<quint32>(size, header.data() + 4);
        return header + body;
    };
    return QByteArray("RIFF\0\0\0\0WAVE", 12) + chunk("fmt ", fmt, 16) +
           chunk("data", QByteArray(dataSize, '\1'), dataSize);
}

}  // namespace

TEST(ErrorSound, ReadsTheCompiledSoundAndOnlyWhole16BitFrames) {
    QFile file(QStringLiteral(":/sounds/erreur.wav"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::optional<PcmSound> sound = ReadWav(file.readAll());
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->Channels, 1);
    EXPECT_EQ(sound->Rate, 44100U);
    EXPECT_EQ(sound->Samples.size(), 3969 * 2) << "90 ms at 44.1 kHz";

    const std::optional<PcmSound> stereo = ReadWav(Wav(2, 16, 4 * 10 + 3));
    ASSERT_TRUE(stereo);
    EXPECT_EQ(stereo->Samples.size(), 40) << "a frame cut short is left out";
    EXPECT_FALSE(ReadWav(Wav(2, 16, 3))) << "no whole frame";
    EXPECT_FALSE(ReadWav(Wav(1, 8, 100))) << "8-bit";
    EXPECT_FALSE(ReadWav(Wav(1, 16, 100).chopped(1))) << "a chunk running past the end";
    EXPECT_FALSE(ReadWav(Wav(0, 16, 100))) << "no channel";
}
