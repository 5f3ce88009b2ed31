// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Per-key slowness, pairs of a key, the slowest pairs and their example words.
#include <gtest/gtest.h>

#include <memory>

#include "common/cp1252.h"
#include "keyboard/layout.h"
#include "stats/key_report.h"
#include "support/test_support.h"

namespace {

using test_support::RecordDeleter;

int Key(unsigned char ch) { return KeyOfChar[ch]; }

void Add(ProgressRecord& record, int previous, int current, std::initializer_list<int32_t> intervals) {
    for (int32_t ms : intervals) RecordKeyInterval(record, previous, current, ms);
}

}  // namespace

TEST(KeyReport, SlownessWeighsPairsByTheirSamples) {
    std::unique_ptr<ProgressRecord, RecordDeleter> record(ReserveProgress());
    Add(*record, Key('a'), Key('t'), {100, 100, 100});  // mean 100, 3 samples
    Add(*record, Key('e'), Key('t'), {400});            // mean 400, 1 sample
    Add(*record, Key('t'), Key('e'), {250, 251});       // integer mean 250
    const KeyReport report = BuildKeyReport(*record);
    EXPECT_EQ(report.Keys[Key('t')].MeanMs, 175);  // (100*3 + 400) / 4
    EXPECT_EQ(report.Keys[Key('t')].Samples, 4);
    EXPECT_EQ(report.Keys[Key('e')].MeanMs, 250);
    EXPECT_TRUE(report.Keys[Key('a')].ByPairsOut) << "no pair ends on A: the pair leaving it tells";
    EXPECT_EQ(report.Keys[Key('a')].MeanMs, 100);
    EXPECT_EQ(report.Keys[Key('q')].Samples, 0);
    EXPECT_EQ(report.FastestMs, 100);
    EXPECT_EQ(report.SlowestMs, 250);
    EXPECT_EQ(report.ScaleTopMs, 250);

    const std::vector<PairFigure> into = PairsInto(*record, Key('t'));
    ASSERT_EQ(into.size(), 2u);
    EXPECT_EQ(into[0].Previous, Key('e'));
    EXPECT_EQ(into[1].Samples, 3);
    EXPECT_EQ(PairsOutOf(*record, Key('t')).size(), 1u);

    const std::vector<PairFigure> slowest = SlowestPairs(*record, 2, 1);
    ASSERT_EQ(slowest.size(), 2u);
    EXPECT_EQ(slowest[0].MeanMs, 400);
    EXPECT_EQ(slowest[1].MeanMs, 250);
    EXPECT_TRUE(SlowestPairs(*record, 20).empty()) << "no pair has the 5 samples a ranking needs";
    Add(*record, Key('a'), Key('t'), {100, 100});
    ASSERT_EQ(SlowestPairs(*record, 20).size(), 1u);
    EXPECT_EQ(SlowestPairs(*record, 20)[0].Samples, 5);
    std::unique_ptr<ProgressRecord, RecordDeleter> empty(ReserveProgress());
    EXPECT_TRUE(SlowestPairs(*empty, 20).empty());
    EXPECT_EQ(BuildKeyReport(*empty).TotalSamples, 0);
    EXPECT_EQ(BuildKeyReport(*empty).SlowestKey, 0);

    EXPECT_EQ(report.TotalSamples, 6);
    EXPECT_EQ(report.MeasuredPairs, 3);
    EXPECT_EQ(report.SlowestKey, Key('e'));

    Add(*record, Key('s'), Key('z'), {65535});  // a pause before a run, from an older file: no sample
    EXPECT_EQ(BuildKeyReport(*record).Keys[Key('z')].Samples, 0);
    Add(*record, Key('s'), Key('z'), {9000});  // one very slow pair does not flatten the colours
    EXPECT_EQ(BuildKeyReport(*record).ScaleTopMs, 750) << "three times the median key (E, 250 ms)";
}

TEST(KeyReport, KeysThatTypeNothingAloneAreJudgedByThePairsLeavingThem) {
    std::unique_ptr<ProgressRecord, RecordDeleter> record(ReserveProgress());
    const int shift = KeyOfVirtualKey[VK_SHIFT];
    Add(*record, shift, Key('a'), {120, 140});  // "A": Shift, then the A key
    Add(*record, shift, Key('e'), {200});
    Add(*record, Key('a'), Key('e'), {90});
    const KeyReport report = BuildKeyReport(*record);
    const KeyFigures& maj = report.Keys[std::size_t(shift)];
    EXPECT_TRUE(maj.ByPairsOut);
    EXPECT_EQ(maj.Samples, 3);
    EXPECT_EQ(maj.MeanMs, 153);  // (130 x 2 + 200) / 3
    EXPECT_EQ(maj.PairsOut, 2);
    EXPECT_EQ(maj.PairsIn, 0);
    const KeyFigures& e = report.Keys[std::size_t(Key('e'))];
    EXPECT_FALSE(e.ByPairsOut);
    EXPECT_EQ(e.MeanMs, 145);  // (200 + 90) / 2, the pairs ending on it
    EXPECT_EQ(e.SamplesIn, 2);
    EXPECT_EQ(report.Keys[std::size_t(Key('a'))].MeanMs, 130) << "pairs in, though it has a pair out";
    EXPECT_EQ(report.Keys[std::size_t(Key('a'))].SamplesOut, 1);
    EXPECT_EQ(PairsOutOf(*record, shift).size(), std::size_t(maj.PairsOut)) << "the click list has the same pairs";
}

TEST(KeyReport, ExampleWordsAreShortPlainWordsOfThePair) {
    auto lexicon = std::make_unique<Lexicon>();
    lexicon->NounCount = 4;
    lexicon->Noun(1).Slots[kMasSg].Assign("chapiteau");
    lexicon->Noun(2).Slots[kMasSg].Assign("pied");
    lexicon->Noun(3).Slots[kFemSg].Assign("pâte"_cp);  // needs a dead key: never an example
    lexicon->Noun(4).Slots[kMasSg].Assign("été"_cp);
    lexicon->AdjectiveCount = 2;
    lexicon->Adjective(1).Slots[kMasSg].Assign("jeu");  // short, but rare beside "heureux"
    lexicon->Adjective(2).Slots[kMasSg].Assign("heureux");
    const int space = 38;
    const std::vector<PairFigure> pairs = {
        {Key('p'), Key('i'), 0, 1}, {Key('a'), Key('t'), 0, 1}, {Key(0xE9), Key('t'), 0, 1}, {Key('d'), space, 0, 1},
        {space, Key('p'), 0, 1},    {36, Key('a'), 0, 1},       {Key('e'), Key('u'), 0, 1}};
    const std::vector<std::string> words = ExampleWords(*lexicon, pairs);
    ASSERT_EQ(words.size(), pairs.size());
    EXPECT_EQ(words[0], "pied");
    EXPECT_EQ(words[1], "");  // only in "pâte"
    EXPECT_EQ(words[2], std::string("été"_cp));
    EXPECT_EQ(words[3], "pied ");
    EXPECT_EQ(words[4], " pied");
    EXPECT_EQ(words[5], "");  // Shift types no character
    EXPECT_EQ(words[6], "heureux") << "a frequent word before a shorter rare one";
    EXPECT_EQ(KeyName(Key(0xE9)), "é");
    EXPECT_EQ(KeyName(space), "Espace");
}
