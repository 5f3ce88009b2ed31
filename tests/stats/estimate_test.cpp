// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/estimate.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "common/cp1252.h"
#include "keyboard/layout.h"
#include "support/test_support.h"

namespace {

class EstimateTest : public ::testing::Test {
protected:
    // Puts the given intervals into the cell of the keys typing the two characters.
    void Fill(char previous, char current, std::initializer_list<uint16_t> times) {
        KeyPairStats& cell = record_->Cell(KeyOfChar[static_cast<unsigned char>(previous)],
                                           KeyOfChar[static_cast<unsigned char>(current)]);
        cell.Count = 0;
        for (uint16_t t : times) cell.Times[cell.Count++] = t;
    }

    SpeedEstimate Estimate(std::string_view text) const { return EstimateSpeeds(text, *record_); }

    test_support::RecordPtr record_ = test_support::NewRecord();
};

TEST_F(EstimateTest, TextSpeedUsesOnlyThePairsWithSamples) {
    Fill('a', 'b', {150, 250});  // mean 200
    SpeedEstimate estimate = Estimate("abc");
    ASSERT_TRUE(estimate.Known);
    EXPECT_EQ(estimate.TextSpeed, 100);  // (1 + 1) / 200 x 10,000
    EXPECT_EQ(estimate.UserSpeed, 100);

    Fill('b', 'c', {100});
    Fill('z', 'z', {1000});
    estimate = Estimate("abcab");  // pairs ab, bc, ca (no sample), ab: 3 pairs, sum 500
    EXPECT_EQ(estimate.TextSpeed, 80);
    EXPECT_EQ(estimate.UserSpeed, 30);  // 4 / 1300 x 10,000 = 30.8, to the nearest 5
}

TEST_F(EstimateTest, SamplesAtTheCeilingAreLeftOut) {
    // Files written before hold a 65,535 ms sample for the first character of each run.
    Fill('a', 'b', {65535, 150, 250, 65535});
    Fill('b', 'a', {65535});
    SpeedEstimate estimate = Estimate("aba");
    ASSERT_TRUE(estimate.Known);
    EXPECT_EQ(estimate.TextSpeed, 100);  // one pair, mean 200
    EXPECT_EQ(estimate.UserSpeed, 100);
    EXPECT_EQ(record_->Cell(KeyOfChar['a'], KeyOfChar['b']).Count, 4) << "the stored samples stay";
}

TEST_F(EstimateTest, UserSpeedGoesToTheNearestMultipleOfFiveHalvesToEven) {
    // Two cells: (2 + 1) / sum x 10,000.
    Fill('a', 'b', {200});
    Fill('b', 'a', {281});
    EXPECT_EQ(Estimate("ab").UserSpeed, 60);  // 62.4
    Fill('b', 'a', {280});
    EXPECT_EQ(Estimate("ab").UserSpeed, 60);  // 62.5: 12.5 goes to 12
    Fill('b', 'a', {279});
    EXPECT_EQ(Estimate("ab").UserSpeed, 65);  // 62.6
    // 3 / 20,000 x 10,000 is exactly 1.5, which goes to 2.
    Fill('b', 'a', {});
    Fill('a', 'b', {20000});
    Fill('b', 'c', {0});
    EXPECT_EQ(Estimate("abc").TextSpeed, 2);
}

TEST_F(EstimateTest, NothingKnownWithoutSamples) {
    EXPECT_FALSE(Estimate("Un texte quelconque.").Known);  // empty record
    Fill('a', 'b', {200});
    EXPECT_FALSE(Estimate("ba ba").Known);  // no pair of the text has a sample
    EXPECT_FALSE(Estimate("a").Known);
    EXPECT_FALSE(Estimate("").Known);
    EXPECT_EQ(
        EstimateText(Estimate("ba")),
        "Aucune information ne pourra être donnée tant que vous n'aurez pas tapé un seul texte en intégralité..."_cp);
}

TEST_F(EstimateTest, CharactersWithoutAKeyAreSkipped) {
    Fill('a', 'b', {200});
    // œ has no key: its pairs are left out, only "ab" counts.
    EXPECT_FALSE(Estimate("aœb"_cp).Known);
    EXPECT_EQ(Estimate("œab\t\r\n\x01"_cp).TextSpeed, 100);
    std::string every;
    for (int c = 0; c < 256; ++c) every += static_cast<char>(c);
    EXPECT_TRUE(Estimate(every + every).Known);
}

TEST_F(EstimateTest, LongTextsDoNotOverflowThePairSum) {
    Fill('a', 'b', {65534});
    Fill('b', 'a', {65534});
    std::string text;
    for (int i = 0; i < 40000; ++i) text += "ab";
    SpeedEstimate estimate = Estimate(text);  // 79,999 pairs of 65,534 ms
    ASSERT_TRUE(estimate.Known);
    EXPECT_EQ(estimate.TextSpeed, 0);  // 80,000 / 5.2 billion x 10,000 = 0.15
}

TEST_F(EstimateTest, EstimateTextHasThreeLines) {
    SpeedEstimate estimate{true, 100, 60};
    EXPECT_EQ(EstimateText(estimate),
              "En tapant normalement, vous devriez pouvoir taper ce texte à la vitesse de 100 mots/min.\r\n"
              "Actuellement, votre niveau de frappe est de 60 mots/min !\r\n"
              "Note : plus vous utiliserez ce programme, et plus la précision des calculs sera élevée..."_cp);
}

TEST(WordCount, CountsSpacesPlusOneUpToAHundred) {
    EXPECT_EQ(WordCount(""), 1);
    EXPECT_EQ(WordCount("un deux trois"), 3);
    EXPECT_EQ(WordCount(std::string(98, ' ')), 99);
    EXPECT_EQ(WordCount(std::string(99, ' ')), 100);
    EXPECT_EQ(WordCount(std::string(500, ' ')), 100);
    EXPECT_EQ(WordCount("un\xA0"
                        "deux\r\ntrois"),
              1);
}

// A text of `words` words (spaces plus one) and exactly `length` characters.
std::string TextOf(int words, std::size_t length) {
    std::string text;
    for (int w = 1; w < words; ++w) text += "a ";
    text.resize(length, 'b');
    return text;
}

TEST(AssessText, TextsShorterThanThreeCharactersCannotBeTyped) {
    for (std::string_view text : {"", "a", "ab"}) {
        TextAssessment a = AssessText(text);
        EXPECT_EQ(a.InformationLine,
                  "Vous ne pouvez pas vous entraîner sur un mot comportant moins de 3 caractères..."_cp);
        EXPECT_FALSE(a.TypingEnabled);
        EXPECT_FALSE(a.RunEstimate);
        EXPECT_EQ(a.StatisticsText, "Aucune information précise ne peut être donnée..."_cp);
    }
}

TEST(AssessText, AnnouncesTheLengthAndWhetherTheSpeedWillMeanAnything) {
    const std::string prefix("Vous pouvez vous entraîner sur ce "_cp);
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"abc", prefix + "mot, mais celui-ci est trop court pour que votre vitesse soit significative..."},
        {std::string(100, 'x'), prefix + "mot..."},
        {"un deux trois", prefix + "texte de 3 mots, mais votre vitesse ne sera pas significative..."},
        {TextOf(3, 99), prefix + "texte de 3 mots, mais votre vitesse ne sera pas significative..."},
        {TextOf(6, 120), prefix + "texte de 6 mots..."},
        {TextOf(10, 30), prefix + "texte de 10 mots..."},
        {TextOf(99, 300), prefix + "texte de 99 mots..."},
        {TextOf(100, 1200), prefix + std::string("texte de 200 mots (1 mot équivaut à 6 caractères)..."_cp)},
        {TextOf(150, 1205), prefix + std::string("texte de 200 mots (1 mot équivaut à 6 caractères)..."_cp)},
        {TextOf(100, 200), prefix + std::string("texte de 33 mots (1 mot équivaut à 6 caractères)..."_cp)},
    };
    for (const Case& c : cases) {
        TextAssessment a = AssessText(c.text);
        EXPECT_EQ(a.InformationLine, c.expected) << c.text;
        EXPECT_TRUE(a.TypingEnabled);
        EXPECT_TRUE(a.RunEstimate);
    }
}

}  // namespace
