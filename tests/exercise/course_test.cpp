// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The course: its order of keys per layout, unlocking by measured skill, the focus key and
// the state file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "common/cp1252.h"
#include "common/io_error.h"
#include "exercise/course.h"
#include "keyboard/xkb_layout.h"
#include "support/test_support.h"

namespace {

std::shared_ptr<const KeyboardLayout> Load(const char* text) {
    std::shared_ptr<const KeyboardLayout> layout = LoadXkbLayout(*LayoutName::Parse(text));
    EXPECT_TRUE(layout) << text;
    return layout;
}

int IndexOf(const std::vector<CourseStep>& order, std::string_view chars) {
    const auto found =
        std::find_if(order.begin(), order.end(), [&](const CourseStep& step) { return step.Chars == chars; });
    return found == order.end() ? -1 : int(found - order.begin());
}

// Every unlocked step typed `count` times at `intervalMs`, the last `misses` after a wrong key.
void Practise(Course& course, int32_t intervalMs, int count = kMinKeystrokes, int misses = 0) {
    for (int step = 0; step < course.UnlockedCount(); ++step)
        for (int i = 0; i < count; ++i)
            course.Record(uint8_t(course.Order()[std::size_t(step)].Chars[0]), intervalMs, i < count - misses);
}

}  // namespace

TEST(CourseOrderTest, StartsOnFrequentHomeRowLettersAndTeachesAccentsBeforeCapitals) {
    for (const char* name : {"fr", "fr(bepo)"}) {
        SCOPED_TRACE(name);
        const auto layout = Load(name);
        const std::vector<CourseStep> order = CourseOrder(*layout);
        ASSERT_GT(order.size(), 60u);
        int homeRow = 0, vowels = 0;
        for (int i = 0; i < kStartLetters; ++i) {
            const unsigned char letter = uint8_t(order[std::size_t(i)].Chars[0]);
            EXPECT_EQ(order[std::size_t(i)].Kind, StepKind::Letter);
            EXPECT_TRUE(layout->IsPlain(letter));
            homeRow += PhysicalKeys()[std::size_t(layout->Strokes(letter)[0].Place)].Row == 2;
            vowels += std::string_view("aeiou").find(char(letter)) != std::string_view::npos;
        }
        EXPECT_EQ(order[0].Chars, "e");
        EXPECT_GE(vowels, 2);
        EXPECT_GE(homeRow, std::string_view(name) == "fr" ? 2 : kStartLetters);
        const int capitals = IndexOf(order, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        ASSERT_GT(capitals, 0);
        EXPECT_EQ(order[std::size_t(capitals)].Name, "majuscules");
        for (std::string_view accented : {"é"_cp, "è"_cp, "à"_cp, "ç"_cp, "ù"_cp, "ê"_cp}) {
            const int at = IndexOf(order, accented);
            EXPECT_GT(at, kStartLetters) << Cp1252ToUtf8(accented);
            EXPECT_LT(at, capitals) << Cp1252ToUtf8(accented);
        }
        EXPECT_LT(IndexOf(order, "é"_cp), IndexOf(order, "è"_cp));
        EXPECT_EQ(IndexOf(order, "É"_cp), capitals + 1);
        EXPECT_LT(capitals, IndexOf(order, "."));
        EXPECT_LT(IndexOf(order, "?"), IndexOf(order, "4"));
        EXPECT_EQ(order[std::size_t(IndexOf(order, "!"))].Spacing, StepSpacing::NoBreakBefore);
        EXPECT_EQ(order[std::size_t(IndexOf(order, "«»"_cp))].Name, "« »");
    }
    // On every French layout: each letter of French once, every step typable, no character twice.
    for (const LayoutName& name : FrenchLayouts()) {
        SCOPED_TRACE(name.Text());
        const auto layout = LoadXkbLayout(name);
        ASSERT_TRUE(layout);
        std::string seen;
        for (const CourseStep& step : CourseOrder(*layout))
            for (const char c : step.Chars) {
                EXPECT_FALSE(layout->Strokes(uint8_t(c)).empty());
                EXPECT_EQ(seen.find(c), std::string::npos) << Cp1252ToUtf8(std::string(1, c));
                seen += c;
            }
        for (const char c : "abcdefghijklmnopqrstuvwxyzéèàçùêâîôû"_cp)
            EXPECT_NE(seen.find(c), std::string::npos) << Cp1252ToUtf8(std::string(1, c));
    }
}

TEST(CourseTest, NextKeyUnlocksOnlyWhenEveryKeyIsFastAndAccurate) {
    Course course(*Load("fr"));
    ASSERT_EQ(course.UnlockedCount(), kStartLetters);
    const double target = course.TargetIntervalMs();
    EXPECT_NEAR(target, 285.7, 0.1);  // 35 words of 6 characters per minute

    Practise(course, int32_t(target) + 15, kRecentKeystrokes);  // too slow
    EXPECT_FALSE(course.EndLesson());
    Practise(course, int32_t(target) - 30, kRecentKeystrokes, 3);  // fast, 92.5 % at the first attempt
    EXPECT_FALSE(course.EndLesson());
    Course fresh(*Load("fr"));
    Practise(fresh, int32_t(target) - 30, kMinKeystrokes - 1);  // fast and sure, one keystroke short
    EXPECT_FALSE(fresh.EndLesson());
    EXPECT_EQ(fresh.Lessons(), 1);

    Practise(course, int32_t(target) - 30, kRecentKeystrokes, 2);  // fast, 95 %
    EXPECT_EQ(course.EndLesson(), kStartLetters);
    EXPECT_EQ(course.UnlockedCount(), kStartLetters + 1);
    EXPECT_EQ(course.Lessons(), 3);
    const std::string& learned = course.Order()[kStartLetters].Chars;
    EXPECT_TRUE(course.Unlocked()[uint8_t(learned[0])]);
    EXPECT_TRUE(course.Unlocked()[' '] && course.Unlocked()[0xA0]);
    EXPECT_FALSE(course.Unlocked()['A']);
    EXPECT_EQ(course.Focus(), kStartLetters);  // the new key, not yet typed
    EXPECT_FALSE(course.EndLesson());          // ... holds back the next one

    const CourseKeyFigures figures = course.Figures(0);
    EXPECT_EQ(figures.Samples, kRecentKeystrokes);
    EXPECT_DOUBLE_EQ(figures.MedianMs, int32_t(target) - 30);
    EXPECT_EQ(figures.Wpm, 39);
    EXPECT_DOUBLE_EQ(figures.AccuracyPercent, 95.0);

    // By hand, forward and back; never below the start letters.
    EXPECT_TRUE(course.UnlockNext());
    EXPECT_EQ(course.UnlockedCount(), kStartLetters + 2);
    while (course.GoBack()) {}
    EXPECT_EQ(course.UnlockedCount(), kStartLetters);
    course.SetTarget(5);
    EXPECT_EQ(course.Target(), kMinTargetWpm);
    course.SetTarget(500);
    EXPECT_EQ(course.Target(), kMaxTargetWpm);
}

TEST(CourseTest, FocusIsTheSlowestKeyThoseShortOfTheTargetFirst) {
    Course course(*Load("fr(bepo)"));
    Practise(course, 150);
    const auto letter = [&](int step) { return uint8_t(course.Order()[std::size_t(step)].Chars[0]); };
    for (int i = 0; i < kMinKeystrokes; ++i) course.Record(letter(2), 260, true);  // slower, still on target
    EXPECT_EQ(course.Focus(), 2);
    for (int i = 0; i < kMinKeystrokes; ++i) course.Record(letter(4), 240, i > 3);  // faster but unsure
    EXPECT_EQ(course.Focus(), 4);
    for (int i = 0; i < kRecentKeystrokes; ++i) course.Record(letter(1), 900, true);  // far too slow
    EXPECT_EQ(course.Focus(), 1);
    EXPECT_EQ(course.Figures(1).Wpm, 11);
}

TEST(CourseTest, StateSurvivesARestartPerLayout) {
    EXPECT_EQ(CourseFileName(*LayoutName::Parse("fr")), "cours.txt");
    EXPECT_EQ(CourseFileName(*LayoutName::Parse("fr(bepo)")), "cours-bepo.txt");
    EXPECT_EQ(CourseFileName(*LayoutName::Parse("ch(fr)")), "cours-ch-fr.txt");

    const std::string folder = test_support::MakeTempFolder("clavelle-course");
    const auto bepo = Load("fr(bepo)");
    Course course(*bepo);
    course.SetTarget(52);
    course.UnlockNext();
    course.UnlockNext();
    Practise(course, 333, 45, 3);
    course.Record(uint8_t(course.Order()[7].Chars[0]), 0, false);
    course.EndLesson();
    course.Save(folder);

    Course again(*bepo);
    const CourseLoadResult loaded = again.Load(folder);
    EXPECT_EQ(loaded.State, CourseLoadResult::Status::Read);
    EXPECT_EQ(loaded.Message(), "");
    EXPECT_EQ(again.StateText(), course.StateText());
    EXPECT_EQ(again.Target(), 52);
    EXPECT_EQ(again.UnlockedCount(), kStartLetters + 2);
    EXPECT_EQ(again.Lessons(), 1);
    EXPECT_EQ(again.Figures(3).Samples, kRecentKeystrokes);

    Course azerty(*Load("fr"));  // another layout, another file
    EXPECT_EQ(azerty.Load(folder).State, CourseLoadResult::Status::Missing);
    EXPECT_EQ(azerty.UnlockedCount(), kStartLetters);
    EXPECT_EQ(LessonLevel(again.Order()[0]), "leçon e");
    EXPECT_EQ(LessonLevel(again.Order()[std::size_t(IndexOf(again.Order(), ","))]), "leçon virgule");
    std::filesystem::remove_all(folder);
}

TEST(CourseTest, DamagedStateIsReadAsFarAsItIsValid) {
    const auto azerty = Load("fr");
    struct Case {
        std::string_view Text;
        int Skipped;
    };
    const Case cases[] = {
        {"objectif=500\r\nleçons=7\ndébloquées=999\n", 0},
        {"objectif=-4\nobjectif=3,5\nleçons=99999999999999\ndébloquées=\nrien\n=\n", 6},
        {"touche=e 200 300* abc 400\ntouche=\xff 100\ntouche=e\ntouche=\xe2\x82\n", 3},
        {"touche=e 70000\ntouche=s 250 250\ntouche=", 2},
        {std::string_view("d\0b\0\xc3\xa9=\n\n\n#\x01", 11), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Cp1252ToUtf8(c.Text));
        Course course(*azerty);
        EXPECT_EQ(course.ReadStateText(c.Text), c.Skipped);
        EXPECT_GE(course.Target(), kMinTargetWpm);
        EXPECT_LE(course.Target(), kMaxTargetWpm);
        EXPECT_LE(course.UnlockedCount(), int(course.Order().size()));
        EXPECT_GE(course.UnlockedCount(), kStartLetters);
        Course again(*azerty);  // what was read is written back the same
        EXPECT_EQ(again.ReadStateText(course.StateText()), 0);
        EXPECT_EQ(again.StateText(), course.StateText());
    }
    Course course(*azerty);
    course.ReadStateText(cases[0].Text);
    EXPECT_EQ(course.Target(), kMaxTargetWpm);
    EXPECT_EQ(course.UnlockedCount(), int(course.Order().size()));
    course.ReadStateText(cases[2].Text);
    EXPECT_EQ(course.Figures(course.StepOf('e')).Samples, 0);  // the last "touche=e" line wins
    course.ReadStateText(cases[3].Text);
    EXPECT_EQ(course.Figures(course.StepOf('s')).Samples, 2);

    // A file that cannot be read is never replaced.
    const std::string folder = test_support::MakeTempFolder("clavelle-course");
    ASSERT_EQ(::mkdir((folder + "/cours.txt").c_str(), 0700), 0);
    Course blocked(*azerty);
    const CourseLoadResult result = blocked.Load(folder);
    EXPECT_EQ(result.State, CourseLoadResult::Status::Unreadable);
    EXPECT_NE(result.Message().find(folder + "/cours.txt"), std::string::npos);
    EXPECT_THROW(blocked.Save(folder), IoError);
    struct stat info {};
    EXPECT_TRUE(::stat((folder + "/cours.txt").c_str(), &info) == 0 && S_ISDIR(info.st_mode));
    // A partly damaged file says so, naming it.
    test_support::WriteBytes(folder + "/cours-bepo.txt", "objectif=40\nobjectif=quarante\n");
    Course bepo(*Load("fr(bepo)"));
    const CourseLoadResult partly = bepo.Load(folder);
    EXPECT_EQ(partly.State, CourseLoadResult::Status::PartlyRead);
    EXPECT_EQ(bepo.Target(), 40);
    EXPECT_NE(partly.Message().find("cours-bepo.txt"), std::string::npos);
    bepo.Save(folder);
    EXPECT_EQ(bepo.Load(folder).State, CourseLoadResult::Status::Read);
    std::filesystem::remove_all(folder);
}
