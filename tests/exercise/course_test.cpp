// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The course: its order of keys per layout, the rule that unlocks the next key, the lesson
// under way, and what it says after a lesson.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "common/cp1252.h"
#include "exercise/course_test_support.h"
#include "generator/built_lexicon.h"
#include "generator/course_text.h"

using course_test::Load;
using course_test::Practise;
using course_test::Type;

namespace {

int IndexOf(const std::vector<CourseStep>& order, std::string_view chars) {
    const auto found =
        std::find_if(order.begin(), order.end(), [&](const CourseStep& step) { return step.Chars == chars; });
    return found == order.end() ? -1 : int(found - order.begin());
}

std::string StartOf(const std::vector<CourseStep>& order) {
    std::string start;
    for (int i = 0; i < kStartLetters; ++i) start += order[std::size_t(i)].Chars;
    return start;
}

constexpr const char* kTestedLayouts[] = {"fr", "fr(afnor)", "fr(bepo)", "fr(bepo_afnor)",
                                          "be", "ch(fr)",    "ca",       "ca(multix)"};

}  // namespace

TEST(CourseOrderTest, StartsWhereTheFingersRestAndMakesSentencesEarly) {
    for (const char* name : kTestedLayouts) {
        SCOPED_TRACE(name);
        const auto layout = Load(name);
        const std::vector<CourseStep> order = CourseOrder(*layout);
        const std::string start = StartOf(order);
        int homeRow = 0, vowels = 0;
        for (const char c : start) {
            EXPECT_TRUE(layout->IsPlain(uint8_t(c)));
            homeRow += PhysicalKeys()[std::size_t(layout->Strokes(uint8_t(c))[0].Place)].Row == 2;
            vowels += std::string_view("aeiou").find(c) != std::string_view::npos;
        }
        for (const PhysicalKey& key : PhysicalKeys()) {
            const char bump = key.HomeBump ? layout->ByteAt(int(&key - PhysicalKeys().data()), 0) : 'e';
            EXPECT_NE(start.find(bump), std::string::npos);
        }
        EXPECT_GE(2 * homeRow, kStartLetters);
        EXPECT_GE(vowels, kStartVowels);
        // The period and the capitals right after the first letters: sentences from the twelfth key.
        EXPECT_EQ(IndexOf(order, "."), kLettersBeforeSentences);
        EXPECT_EQ(order[kLettersBeforeSentences + 1].Name, "majuscules");
        EXPECT_LT(IndexOf(order, "."), IndexOf(order, "é"_cp));
        EXPECT_LT(IndexOf(order, "é"_cp), IndexOf(order, "è"_cp));
        EXPECT_LT(IndexOf(order, "?"), IndexOf(order, "4"));
        EXPECT_EQ(order[std::size_t(IndexOf(order, "!"))].Spacing, StepSpacing::NoBreakBefore);
    }
    EXPECT_EQ(StartOf(CourseOrder(*Load("fr"))), "fjeaisld");
    EXPECT_EQ(StartOf(CourseOrder(*Load("ch(fr)"))), "fjeaisld");  // a is on its home row
    EXPECT_EQ(StartOf(CourseOrder(*Load("fr(bepo)"))), "etaisnru");
    // What former versions counted, for their files: e s l a i r on classic AZERTY.
    EXPECT_EQ(StartOf(FormerCourseOrder(*Load("fr"))).substr(0, 6), "eslair");
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

TEST(CourseOrderTest, FirstLessonIsRealWordsWithTheFewestVowels) {
    const std::unique_ptr<Lexicon> lexicon(LoadBuiltLexicon());
    if (!lexicon) GTEST_SKIP() << "no built lexicon";
    const CourseWords words(*lexicon, LoadWordRanking(BuiltLexiconFolder()));
    // Each key of the first lesson in at least three words; with a vowel fewer on AZERTY
    // (its place given to the next letter of the home row), j is left with "je" alone.
    auto fewest = [&](const std::string& keys) {
        const CourseIndex index(words, keys);
        int least = index.WordCount();
        for (const char c : keys) least = std::min(least, index.WordsWith(c));
        return least;
    };
    for (const char* name : kTestedLayouts) {
        const std::string start = StartOf(CourseOrder(*Load(name)));
        EXPECT_GE(fewest(start), 3) << name;
        EXPECT_GE(CourseIndex(words, start).WordCount(), 40) << name;
    }
    EXPECT_LT(fewest("fjesldm"), 3);
}

TEST(CourseRuleTest, NewestKeyKeepsTheLearnersOwnPaceAccuracyFirst) {
    Course course(*Load("fr"));
    ASSERT_EQ(course.UnlockedCount(), kStartLetters);
    ASSERT_EQ(course.OnTrial().size(), std::size_t(kStartLetters));
    // The start at 20 words a minute: 75 % of that pace is asked, 15.
    Practise(course, 500);
    LessonResult result = course.EndLesson();
    EXPECT_TRUE(result.Counted);
    EXPECT_EQ(result.Unlocked, kStartLetters);
    EXPECT_EQ(course.DemandedWpm(), 15);
    EXPECT_EQ(result.Next, kStartLetters + 1);
    const int newest = kStartLetters;
    EXPECT_EQ(course.OnTrial(), std::vector<int>{newest});
    EXPECT_EQ(course.Focus(), newest);

    Type(course, newest, 700, kMinKeystrokes);  // 14 words a minute: short of the pace
    result = course.EndLesson();
    EXPECT_FALSE(result.Unlocked);
    ASSERT_EQ(result.HeldBy.size(), 1u);
    EXPECT_EQ(result.HeldBy[0].Wpm, 14);
    EXPECT_EQ(result.HeldBy[0].NeededWpm, 15);
    EXPECT_TRUE(result.HeldBy[0].EnoughSamples() && result.HeldBy[0].AccurateEnough());

    // Fast is not enough: 87.5 % at the first attempt holds the key, and the lesson does not count.
    Type(course, newest, 250, kRecentKeystrokes, 5);
    result = course.EndLesson();
    EXPECT_FALSE(result.Unlocked);
    EXPECT_TRUE(result.SlowDown);
    EXPECT_FALSE(result.Counted);
    ASSERT_EQ(result.HeldBy.size(), 1u);
    EXPECT_EQ(result.HeldBy[0].AccuracyPercent, 88);
    EXPECT_TRUE(result.HeldBy[0].FastEnough());

    Type(course, newest, 600, kRecentKeystrokes, 2);  // 17 words a minute, 95 %
    EXPECT_EQ(course.EndLesson().Unlocked, newest + 1);

    // The keys learned before may slip: nothing locks again, and only the newest key is judged.
    for (int step = 0; step <= newest; ++step) Type(course, step, 3000, kRecentKeystrokes, 20);
    course.CutLesson();
    Type(course, newest + 1, 400, kMinKeystrokes);
    EXPECT_EQ(course.EndLesson().Unlocked, newest + 2);
    EXPECT_EQ(course.UnlockedCount(), kStartLetters + 3);

    // By hand, forward and back; never below the start letters.
    EXPECT_TRUE(course.UnlockNext());
    while (course.GoBack()) {}
    EXPECT_EQ(course.UnlockedCount(), kStartLetters);
    EXPECT_EQ(course.NextToUnlock(), kStartLetters);
}

TEST(CourseRuleTest, PaceAsksNoMoreThanTheTargetAndRisesTowardIt) {
    Course fast(*Load("fr"));
    Practise(fast, 100);  // 100 words a minute: the target caps what is asked
    ASSERT_TRUE(fast.EndLesson().Unlocked);
    EXPECT_EQ(fast.DemandedWpm(), kDefaultTargetWpm);
    Type(fast, kStartLetters, 180, kMinKeystrokes);
    EXPECT_TRUE(fast.EndLesson().Unlocked);

    // A slow learner near the end of the order is asked nearly the target.
    Course slow(*Load("fr"));
    while (slow.UnlockedCount() + 1 < int(slow.Order().size())) slow.UnlockNext();
    Practise(slow, 1000);
    slow.CutLesson();
    EXPECT_GE(slow.DemandedWpm(), kDefaultTargetWpm - 1);

    // Per keystroke: ê takes a dead key and e, the period Shift on AZERTY.
    EXPECT_EQ(slow.Keystrokes(slow.StepOf('e')), 1.0);
    EXPECT_EQ(slow.Keystrokes(slow.StepOf("ê"_cp[0])), 2.0);
    EXPECT_EQ(slow.Keystrokes(slow.StepOf('.')), 1.5);

    // A tile that reads the target has reached it: 505 ms is 19.8 words a minute, shown 20.
    Course rounded(*Load("fr"));
    rounded.SetTarget(20);
    Type(rounded, 0, 505, kMinKeystrokes, 1);
    rounded.CutLesson();
    const CourseKeyFigures figures = rounded.Figures(0);
    EXPECT_EQ(figures.Wpm, 20);
    EXPECT_EQ(figures.AccuracyShown, 95);
    EXPECT_TRUE(figures.Ready());
}

TEST(CourseRuleTest, FocusIsTheKeyFurthestFromItsDemand) {
    Course course(*Load("fr(bepo)"));
    EXPECT_EQ(course.Focus(), kStartLetters - 1);  // none typed: the last learned
    Practise(course, 300);
    Type(course, 2, 300, kMinKeystrokes, 6);  // 70 % at the first attempt
    Type(course, 4, 300, kMinKeystrokes / 2);
    course.CutLesson();
    EXPECT_EQ(course.Focus(), 2);
    // Once the start unlocks, the new key.
    Type(course, 2, 300, kRecentKeystrokes);
    course.EndLesson();
    EXPECT_EQ(course.Focus(), kStartLetters);
    EXPECT_EQ(course.StepCharacters(kStartLetters), course.Order()[kStartLetters].Chars);
    // The capitals come with their letters only.
    const int capitals = IndexOf(course.Order(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    while (course.NextToUnlock() >= 0 && course.NextToUnlock() <= capitals) course.UnlockNext();
    const std::string allowed = course.StepCharacters(capitals);
    EXPECT_NE(allowed.find('E'), std::string::npos);
    EXPECT_EQ(allowed.find('Z'), std::string::npos);
    EXPECT_FALSE(course.Unlocked()['Z']);
}

TEST(CourseLessonTest, KeystrokesCountOnceAtTheLessonsEnd) {
    Course course(*Load("fr"));
    Type(course, 0, 300, 10);
    EXPECT_TRUE(course.LessonPending());
    EXPECT_EQ(course.Figures(0).Samples, 0);  // the tiles keep still during a lesson
    EXPECT_NE(course.StateText().find("\ntouche=f 300 300"), std::string::npos);  // a save keeps them
    course.DiscardLesson();                                                       // Escape: nothing counted
    EXPECT_FALSE(course.LessonPending());
    EXPECT_EQ(course.Figures(0).Samples, 0);
    EXPECT_EQ(course.StateText().find("touche="), std::string::npos);

    Type(course, 0, 300, 10, 2);
    course.CutLesson();  // a change of layout: kept, no lesson counted, no key unlocked
    EXPECT_EQ(course.Figures(0).Samples, 10);
    EXPECT_EQ(course.Lessons(), 0);

    Type(course, 1, 500, 8, 2);
    course.Record(' ', 500, false);
    course.Record(0xA0, 500, false);  // the no-break space is missed as the blank
    LessonResult result = course.EndLesson();
    EXPECT_EQ(course.Lessons(), 1);
    EXPECT_EQ(course.Figures(1).Samples, 8);
    EXPECT_EQ(result.Lesson.Characters, 10);
    EXPECT_EQ(result.Lesson.Wpm, 20);
    EXPECT_DOUBLE_EQ(result.Lesson.FirstAttemptPercent, 60.0);
    EXPECT_FALSE(result.Previous);
    ASSERT_EQ(result.Missed.size(), 2u);
    EXPECT_EQ(result.Missed[0].Char, ' ');
    EXPECT_EQ(result.Missed[0].Count, 2);
    EXPECT_EQ(result.Missed[1].Char, course.Order()[1].Chars[0]);
    EXPECT_EQ(result.Missed[1].Count, 2);

    // The previous lesson's figures survive a restart.
    Course again(*Load("fr"));
    ASSERT_EQ(again.ReadStateText(course.StateText()), 0);
    Type(again, 0, 250, 10);
    result = again.EndLesson();
    ASSERT_TRUE(result.Previous);
    EXPECT_EQ(result.Previous->Wpm, 20);
    EXPECT_DOUBLE_EQ(result.Previous->FirstAttemptPercent, 60.0);
    EXPECT_EQ(result.Lesson.Wpm, 40);
}

TEST(CourseLessonTest, ResultReadsInFrench) {
    const std::vector<CourseStep> order = CourseOrder(*Load("fr"));
    const int l = IndexOf(order, "l"), d = IndexOf(order, "d"), i = IndexOf(order, "i");
    LessonResult result;
    result.Lesson = {70, 21, 86.0};
    result.Previous = LessonFigures{70, 18, 88.4};
    result.Counted = false;
    result.SlowDown = true;
    result.Next = i;
    result.HeldBy = {{l, 40, 88, 16, kMinKeystrokes, kUnlockAccuracyPercent, 15},
                     {d, 12, 100, 13, kMinKeystrokes, kUnlockAccuracyPercent, 15}};
    result.Missed = {{'l', 3}, {' ', 1}};
    const std::string text = LessonReportText(order, result);
    const std::string expected =
        "Leçon terminée\u00A0: 21 mots/min (+3), 86\u00A0% de frappes justes (\u22122 points).\n"
        "Ralentissez\u00A0: 14\u00A0% de fautes\u00A0; la précision passe avant la vitesse. La leçon ne compte pas "
        "pour la touche suivante (il faut 90\u00A0% de frappes justes).\n"
        "Pour la touche suivante, «\u00A0i\u00A0», encore à travailler\u00A0:\n"
        "«\u00A0l\u00A0»\u00A0: 88\u00A0% de frappes justes, 90\u00A0% demandés.\n"
        "«\u00A0d\u00A0»\u00A0: 12 frappes, 20 demandées\u00A0; 13 mots/min, 15 demandés.\n"
        "Touches manquées\u00A0: «\u00A0l\u00A0» 3 fois, «\u00A0espace\u00A0» 1 fois.\n";
    EXPECT_EQ(text, expected);
    result = {};
    result.Lesson = {70, 30, 100.0};
    result.Counted = true;
    result.Unlocked = i;
    EXPECT_EQ(LessonReportText(order, result),
              "Leçon terminée\u00A0: 30 mots/min, 100\u00A0% de frappes justes.\nNouvelle touche\u00A0: "
              "«\u00A0i\u00A0»\u00A0!\n"
              "Aucune touche manquée.\n");
}
