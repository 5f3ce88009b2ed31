// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/verdict.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/cp1252.h"

namespace {

const std::string kWarning(
    "Sachez toutefois que votre vitesse n'est pas très significative sur un texte comportant moins de 10 mots."_cp);

// A text of `words` words (spaces plus one) and exactly `length` characters.
std::string TextOf(int words, std::size_t length) {
    std::string text;
    for (int w = 1; w < words; ++w) text += "a ";
    text.resize(length, 'b');
    return text;
}

std::string Speed(int32_t speed, bool significant = true) { return SpeedVerdict(speed, significant); }

TEST(Verdict, SpeedSentenceAtEachBoundary) {
    const std::string prefix = "Votre vitesse de frappe est ";
    EXPECT_EQ(Speed(-5), prefix + "lamentable");
    EXPECT_EQ(Speed(20), prefix + "lamentable");
    EXPECT_EQ(Speed(21), prefix + "insuffisante");
    EXPECT_EQ(Speed(29), prefix + "insuffisante");
    EXPECT_EQ(Speed(30), prefix + "presque acceptable");
    EXPECT_EQ(Speed(49), prefix + "presque acceptable");
    EXPECT_EQ(Speed(50), prefix + "acceptable");
    EXPECT_EQ(Speed(64), prefix + "acceptable");
    EXPECT_EQ(Speed(65), prefix + "assez bonne");
    EXPECT_EQ(Speed(79), prefix + "assez bonne");
    EXPECT_EQ(Speed(80), prefix + "bonne");
    EXPECT_EQ(Speed(114), prefix + "bonne");
    EXPECT_EQ(Speed(115), prefix + std::string("très bonne"_cp));
    EXPECT_EQ(Speed(129), prefix + std::string("très bonne"_cp));
    EXPECT_EQ(Speed(130), prefix + "excellente");
    EXPECT_EQ(Speed(154), prefix + "excellente");
    const std::string genius = prefix + std::string("celle d'un génie dactylographique"_cp);
    EXPECT_EQ(Speed(155), genius);
    EXPECT_EQ(Speed(449, true), genius);
    EXPECT_EQ(Speed(449, false), genius);
    EXPECT_EQ(Speed(450, true), "Votre vitesse est inhumaine (avez-vous triché ?)"_cp);
    EXPECT_EQ(Speed(450, false), "Votre vitesse est impressionnante");
    EXPECT_EQ(Speed(INT32_MAX, false), "Votre vitesse est impressionnante");
}

TEST(Verdict, PrecisionSentenceWithFiveAsAnExactValue) {
    auto precision = [](double percent) { return PrecisionVerdict(percent); };
    const std::string prefix(" votre précision "_cp);
    EXPECT_EQ(precision(0), prefix + "est parfaite.");
    EXPECT_EQ(precision(0.99), prefix + "est parfaite.");
    EXPECT_EQ(precision(1), prefix + "est excellente.");
    EXPECT_EQ(precision(2), prefix + std::string("est très bonne."_cp));
    EXPECT_EQ(precision(3), prefix + "est bonne.");
    EXPECT_EQ(precision(4.99), prefix + "est bonne.");
    EXPECT_EQ(precision(5), prefix + "est acceptable.");
    EXPECT_EQ(precision(1.0 / 20 * 100), prefix + "est acceptable.");
    EXPECT_EQ(precision(5.01), prefix + "est presque acceptable.");
    EXPECT_EQ(precision(6), prefix + "n'est pas satisfaisante.");
    EXPECT_EQ(precision(100), prefix + "n'est pas satisfaisante.");
}

TEST(Verdict, JoinerSaysEtWhenBothJudgementsAgree) {
    EXPECT_EQ(VerdictJoiner(400, 10), "et");
    EXPECT_EQ(VerdictJoiner(399, 10), "mais");
    EXPECT_EQ(VerdictJoiner(30, 6), "mais");
    EXPECT_EQ(VerdictJoiner(29, 0), "mais");
    EXPECT_EQ(VerdictJoiner(29, 6), "et");
    EXPECT_EQ(VerdictJoiner(30, 5.99), "et");
}

TEST(Verdict, UnknownPercentageIsJudgedAsNoError) {
    EXPECT_EQ(PrecisionVerdict(std::nan("")), PrecisionVerdict(0));
    EXPECT_EQ(VerdictJoiner(42, std::nan("")), "et");
}

TEST(Verdict, TextIsSignificantByLengthOrByWords) {
    EXPECT_TRUE(TextIsSignificant(TextOf(9, 100)));
    EXPECT_FALSE(TextIsSignificant(TextOf(9, 99)));
    EXPECT_TRUE(TextIsSignificant(TextOf(10, 20)));
    EXPECT_TRUE(TextIsSignificant(std::string(9, ' ')));
    EXPECT_FALSE(TextIsSignificant(""));
    // Only the plain space separates words.
    EXPECT_FALSE(TextIsSignificant(std::string(20, '\xA0')));
}

TEST(Verdict, EndOfRunJoinsTheSentencesAndWarnsOnShortTexts) {
    const std::string longText = TextOf(12, 60);
    EXPECT_EQ(EndOfRunVerdict(42, 0.5, longText),
              "Votre vitesse de frappe est presque acceptable et votre précision est parfaite."_cp);
    EXPECT_EQ(EndOfRunVerdict(120, 7, longText),
              "Votre vitesse de frappe est très bonne mais votre précision n'est pas satisfaisante."_cp);
    EXPECT_EQ(EndOfRunVerdict(450, 0, longText),
              "Votre vitesse est inhumaine (avez-vous triché ?) et votre précision est parfaite."_cp);

    const std::string shortText = TextOf(5, 40);
    EXPECT_EQ(EndOfRunVerdict(450, 0, shortText),
              std::string("Votre vitesse est impressionnante et votre précision est parfaite.\r\n"_cp) + kWarning);
    EXPECT_EQ(EndOfRunVerdict(42, 0.5, TextOf(9, 99)),
              std::string("Votre vitesse de frappe est presque acceptable et votre précision est parfaite.\r\n"_cp) +
                  kWarning);
}

TEST(Verdict, InterruptionHeadingThenVerdictThenWarning) {
    std::string text = InterruptionVerdict("17:30:00", 20, 6, "abc");
    EXPECT_EQ(text,
              std::string("Vous avez été interrompu selon votre désir à 17:30:00.\r\n"_cp) +
                  std::string("Votre vitesse de frappe est lamentable et votre précision n'est pas satisfaisante."_cp) +
                  "\r\n" + kWarning);
    EXPECT_EQ(InterruptionVerdict("08:00:00", 60, 1.5, TextOf(10, 30)),
              "Vous avez été interrompu selon votre désir à 08:00:00.\r\n"
              "Votre vitesse de frappe est acceptable et votre précision est excellente."_cp);
}

}  // namespace
