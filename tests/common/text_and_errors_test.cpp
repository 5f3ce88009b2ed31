// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Windows-1252 conversion, rounding and file error texts.
#include <gtest/gtest.h>

#include <cerrno>

#include "common/cp1252.h"
#include "common/io_error.h"
#include "common/rounding.h"

TEST(Cp1252, LiteralsAndRoundTripsCoverTheFrenchLetters) {
    constexpr std::string_view word = "où là-bas, ça déjà Œuvre €"_cp;
    EXPECT_EQ(word.size(), 26u);
    EXPECT_EQ(static_cast<unsigned char>(word[1]), 0xF9);   // ù
    EXPECT_EQ(static_cast<unsigned char>(word[19]), 0x8C);  // Œ
    EXPECT_EQ(static_cast<unsigned char>(word[25]), 0x80);  // €
    EXPECT_EQ(Cp1252ToUtf8(word), "où là-bas, ça déjà Œuvre €");
    EXPECT_EQ(Utf8ToCp1252("où là-bas, ça déjà Œuvre €"), std::string(word));
    // Every byte survives a round trip through Unicode.
    for (int b = 0; b < 256; ++b) {
        std::string one(1, char(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << b;
    }
}

TEST(Cp1252, CharactersOutsideTheEncodingBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("a\xE2\x88\x9E"
                           "b"),
              "a?b");                                  // infinity sign
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?");  // emoji
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");              // cut sequence
    EXPECT_FALSE(FitsCp1252("\xC4\x9F"));              // ğ
    EXPECT_TRUE(FitsCp1252("Noël"));
    EXPECT_EQ(UnicodeToCp1252(0xA0), 0xA0);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(50.5), 50);
    EXPECT_EQ(RoundHalfEven(43.5), 44);
    EXPECT_EQ(RoundHalfEven(12.5), 12);
    EXPECT_EQ(RoundHalfEven(12.6), 13);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(1e300), INT32_MAX);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}

TEST(IoErrors, CodesHaveTheirFrenchTexts) {
    EXPECT_EQ(IoErrorText(2), "Fichier introuvable");
    EXPECT_EQ(IoErrorText(100), "Lecture au-delà de la fin de fichier");
    EXPECT_EQ(IoErrorText(101), "Disque plein");
    // System errors keep their number and say what went wrong.
    EXPECT_EQ(IoErrorText(EACCES), "Erreur E/S 13 (l'accès est refusé)");
    EXPECT_EQ(IoErrorText(EINVAL), "Erreur E/S 22 (opération impossible sur ce fichier)");
    EXPECT_EQ(IoErrorText(EIO), "Erreur E/S 5 (erreur de lecture ou d'écriture du disque)");
    EXPECT_EQ(IoCodeFromErrno(ENOENT), 2);
    EXPECT_EQ(IoCodeFromErrno(ENOSPC), 101);
    EXPECT_EQ(IoCodeFromErrno(EFBIG), 101);
    EXPECT_EQ(IoCodeFromErrno(EACCES), EACCES);
}
