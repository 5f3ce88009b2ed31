// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Checking typed characters, feeding the record and the run's figures.
#include <gtest/gtest.h>

#include <memory>

#include "common/cp1252.h"
#include "exercise/typing.h"
#include "keyboard/keyboard.h"
#include "support/test_support.h"

namespace {

using test_support::FakeClock;

struct Fixture : ::testing::Test {
    Fixture() : record(ReserveProgress()) {}
    ~Fixture() override { ReleaseProgress(record); }
    ProgressRecord* record;
};

using TypingCheck = Fixture;

}  // namespace

TEST_F(TypingCheck, ErrorsCountOnlyOnceTheRunHasStarted) {
    FakeClock clock(36000000);
    RunState run;
    CheckKeyPress(run, *record, 'x', 'a', false, true);
    CheckKeyPress(run, *record, 'y', 'a', false, true);
    EXPECT_EQ(run.ErrorCount, 0);
    clock.now += 100;
    KeyPressOutcome first = CheckKeyPress(run, *record, 'a', 'a', false, true);
    EXPECT_TRUE(first.Correct);
    EXPECT_EQ(run.CorrectCount, 1);
    EXPECT_EQ(run.RunStartTime, clock.now);
    KeyPressOutcome wrong = CheckKeyPress(run, *record, 'B', 'b', false, true);
    EXPECT_FALSE(wrong.Correct);
    EXPECT_TRUE(wrong.Beep);
    EXPECT_EQ(run.ErrorCount, 1);
    EXPECT_FALSE(CheckKeyPress(run, *record, 'c', 'b', false, false).Beep) << "sound off";
    EXPECT_EQ(run.ErrorCount, 2);
}

TEST_F(TypingCheck, BlankStandsForANoBreakSpaceButNotTheReverse) {
    FakeClock clock(1000);
    RunState run;
    KeyPressOutcome blank = CheckKeyPress(run, *record, ' ', kNoBreakSpace, false, true);
    EXPECT_TRUE(blank.Correct);
    EXPECT_EQ(blank.Character, kNoBreakSpace);
    EXPECT_FALSE(CheckKeyPress(run, *record, kNoBreakSpace, ' ', false, true).Correct);
    // Accents and case are compared byte for byte.
    EXPECT_FALSE(CheckKeyPress(run, *record, 'e', "é"_cp[0], false, true).Correct);
    EXPECT_FALSE(CheckKeyPress(run, *record, "É"_cp[0], "é"_cp[0], false, true).Correct);
    EXPECT_TRUE(CheckKeyPress(run, *record, "é"_cp[0], "é"_cp[0], false, true).Correct);
}

TEST_F(TypingCheck, PastTheLineEndEveryKeyIsWrongAndWithoutModelKeysAreIgnored) {
    FakeClock clock(1000);
    RunState run;
    run.CorrectCount = 3;
    EXPECT_FALSE(CheckKeyPress(run, *record, 'a', std::nullopt, false, true).Correct);
    EXPECT_EQ(run.ErrorCount, 1);
    KeyPressOutcome ignored = CheckKeyPress(run, *record, 'a', std::nullopt, true, true);
    EXPECT_TRUE(ignored.Ignored);
    EXPECT_FALSE(ignored.Beep);
    EXPECT_EQ(run.ErrorCount, 1);
}

TEST_F(TypingCheck, APauseOverHalfASecondBringsTheLineBack) {
    FakeClock clock(5000);
    RunState run;
    CheckKeyPress(run, *record, 'a', 'a', false, true);
    clock.now += 500;
    EXPECT_FALSE(CheckKeyPress(run, *record, 'b', 'b', false, true).ScrollToCurrentLine);
    clock.now += 501;
    EXPECT_TRUE(CheckKeyPress(run, *record, 'c', 'c', false, true).ScrollToCurrentLine);
}

TEST_F(TypingCheck, EachCorrectCharacterFeedsTheCellOfTheTwoLatestKeyDowns) {
    FakeClock clock(10000);
    RunState run;
    run.CorrectCount = 1;  // within a run
    run.LastCorrectTime = {10000, false, true};
    // "A" typed with Shift then the A key: the pair (Shift, A).
    run.KeyDown(VK_SHIFT);
    run.KeyDown('A');
    clock.now += 180;
    CheckKeyPress(run, *record, 'A', 'A', false, true);
    const int shift = KeyOfVirtualKey[VK_SHIFT];
    const int a = KeyOfVirtualKey['A'];
    ASSERT_EQ(record->Cell(shift, a).Count, 1);
    EXPECT_EQ(record->Cell(shift, a).Times[0], 180);
    // Then "z": the pair (A, Z), interval since the previous correct character.
    run.KeyDown('Z');
    clock.now += 120;
    CheckKeyPress(run, *record, 'z', 'z', false, true);
    EXPECT_EQ(record->Cell(a, KeyOfVirtualKey['Z']).Times[0], 120);
    // A wrong key feeds nothing; an untracked key (the start value 1) feeds nothing.
    run.KeyDown('Q');
    CheckKeyPress(run, *record, 'q', 'x', false, true);
    EXPECT_EQ(record->Cell(KeyOfVirtualKey['Z'], KeyOfVirtualKey['Q']).Count, 0);
    RunState fresh;
    fresh.KeyDown('E');
    CheckKeyPress(fresh, *record, 'e', 'e', false, true);
    int total = 0;
    for (auto& row : record->Cells)
        for (auto& cell : row) total += cell.Count;
    EXPECT_EQ(total, 2);
}

TEST_F(TypingCheck, TheFirstCharacterOfARunRecordsNoIntervalAndAForeignCharacterIsWrong) {
    FakeClock clock(20000);
    RunState run;
    run.LastCorrectTime = {1000, false, true};  // the end of the run before, 19 s ago
    run.KeyDown('B');
    run.KeyDown('A');
    CheckKeyPress(run, *record, 'a', 'a', false, true);
    EXPECT_EQ(record->Cell(KeyOfVirtualKey['B'], KeyOfVirtualKey['A']).Count, 0);
    run.KeyDown('Z');
    clock.now += 90;
    CheckKeyPress(run, *record, 'z', 'z', false, true);
    EXPECT_EQ(record->Cell(KeyOfVirtualKey['A'], KeyOfVirtualKey['Z']).Times[0], 90);
    // A character outside Windows-1252 (such as a composed ŷ) is never the model's "?".
    KeyPressOutcome foreign = CheckKeyPress(run, *record, std::nullopt, '?', false, true);
    EXPECT_FALSE(foreign.Correct);
    EXPECT_TRUE(foreign.Beep);
    EXPECT_EQ(run.ErrorCount, 1);
}

TEST(RunFigures, SpeedsRoundHalvesToEven) {
    EXPECT_EQ(WordsPerMinute(300, 60000), 50);
    EXPECT_EQ(WordsPerMinute(101, 20000), 50);  // 50.5
    EXPECT_EQ(WordsPerMinute(87, 20000), 44);   // 43.5
    EXPECT_EQ(WordsPerMinute(10, 0), 0);
    EXPECT_EQ(VerdictSpeed(101, 20000), 50);
    EXPECT_EQ(VerdictSpeed(300, 60000), 50);
    EXPECT_NEAR(ErrorPercent(3, 300), 0.990099, 1e-5);
    EXPECT_EQ(ErrorPercent(0, 0), 0.0);
}

TEST(RunFigures, SummaryUsesTheLocaleDecimalSeparator) {
    EXPECT_EQ(RunSummary(50, ErrorPercent(3, 300), ','),
              "Votre vitesse moyenne est de 50 mots/min avec 1,0% d'erreurs. Pressez sur Echap pour recommencer.");
    EXPECT_EQ(RunSummary(42, 3.5, '.'),
              "Votre vitesse moyenne est de 42 mots/min avec 3.5% d'erreurs. Pressez sur Echap pour recommencer.");
}

TEST(RunFigures, LineCompleteIgnoresTheLeadingBlank) {
    EXPECT_TRUE(LineComplete(" abc", "abc"));
    EXPECT_FALSE(LineComplete(" ab", "abc"));
    EXPECT_TRUE(LineComplete(" ", ""));
    EXPECT_FALSE(LineComplete("", ""));
}
