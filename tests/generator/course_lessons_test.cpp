// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Course lessons as a learner meets them: varied from one lesson to the next, in French
// (no literary tenses, genders that the dictionary gives), real words for the rare letters
// and the capitals, numbers of the learned digits, and the line that introduces a key.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/cp1252.h"
#include "generator/course_fixture.h"
#include "generator/course_intro.h"
#include "generator/course_text.h"
#include "generator/fixture_lexicon.h"
#include "generator/random.h"
#include "keyboard/xkb_layout.h"

namespace {

using namespace course_test;

// The words of a lesson that are neither punctuation nor closed words, each once.
void ExpectNoWordTwice(const std::string& text, bool (*isClosed)(std::string_view)) {
    std::set<std::string> seen;
    std::string plain = text;
    for (char& c : plain)
        if (c == '.' || c == ',' || c == char(0xA0)) c = ' ';
    for (const std::string_view word : Words(plain)) {
        std::string lower(word);
        for (char& c : lower) c = char(Cp1252Lower(static_cast<unsigned char>(c)));
        if (word.empty() || isClosed(lower)) continue;
        EXPECT_TRUE(seen.insert(lower).second) << Cp1252ToUtf8(lower) << " twice in: " << Cp1252ToUtf8(text);
    }
}

TEST_F(CourseTextTest, TenLessonsOnFewKeysVaryAndRepeatNoWord) {
    // The first lessons of AZERTY and BÉPO courses, ten lessons in a row on each focus.
    for (const std::string& start : {std::string("fjeaisld"), std::string("etaisnru")}) {
        const CourseIndex index(*words_, start);
        SeedRandom(17);
        for (const char focus : start) {
            SCOPED_TRACE(start + " " + focus);
            CourseVariety variety;
            std::set<std::string> distinct;
            int total = 0;
            for (int lesson = 0; lesson < 10; ++lesson) {
                const CourseText text = MakeCourseText(index, focus, {}, 70, &variety);
                EXPECT_FALSE(text.invented);
                ExpectNoWordTwice(text.text, &IsClosed);
                // Content words: determiners and pronouns come back in any French text.
                for (const std::string_view word : Words(text.text)) {
                    if (IsClosed(std::string(word))) continue;
                    distinct.insert(std::string(word));
                    ++total;
                }
            }
            EXPECT_GE(2 * int(distinct.size()), total);
        }
    }
    // AZERTY's first lesson, the bump keys, the home row and three vowels: real words,
    // sentences, wherever a dozen words hold the focus.
    const CourseIndex bumps(*words_, "fjeaisld");
    CourseVariety variety;
    for (const char focus : std::string("fjeaisld")) {
        if (bumps.WordsWith(focus) < kMinRealWords) continue;
        for (int lesson = 0; lesson < 10; ++lesson) {
            const CourseText text = MakeCourseText(bumps, focus, {}, 70, &variety);
            EXPECT_FALSE(text.invented);
            EXPECT_TRUE(text.sentences) << text.text;
            ExpectNoWordTwice(text.text, &IsClosed);
        }
    }
}

TEST_F(CourseTextTest, NoSimplePastNorImperfectSubjunctive) {
    // The forms of those tenses that no other tense, noun, adjective or name spells.
    std::unordered_set<std::string_view> literary;
    std::unordered_set<std::string_view> other;
    const Lexicon& l = *lexicon_;
    for (int v = 1; v <= l.VerbCount; ++v)
        for (int slot = 0; slot < kVerbSlotCount; ++slot) {
            const bool past = slot >= kSimplePastSlot && slot < kSimplePastSlot + 6;
            const bool subjunctive = slot >= kSubjunctiveImperfectSlot && slot < kSubjunctiveImperfectSlot + 6;
            (past || subjunctive ? literary : other).insert(l.Verb(v).Slots[slot].View());
        }
    for (int n = 1; n <= l.NounCount; ++n)
        for (const ShortString& form : l.Noun(n).Slots) other.insert(form.View());
    for (int a = 1; a <= l.AdjectiveCount; ++a)
        for (const ShortString& form : l.Adjective(a).Slots) other.insert(form.View());
    std::erase_if(literary, [&](std::string_view form) { return other.contains(form); });
    ASSERT_TRUE(
        literary.contains("annon\xE7"
                          "assions"));

    std::string allowed = Utf8ToCp1252("abcdefghijklmnopqrstuvwxyzàâçéèêëîïôûùœ',");
    const CourseIndex index(*words_, allowed);
    for (const CourseForm& word : index.Words()) EXPECT_FALSE(literary.contains(word.text)) << word.text;
    SeedRandom(23);
    for (int i = 0; i < 200; ++i) {
        const std::string text = MakeCourseText(index, allowed[std::size_t(i) % allowed.size()], {}, 80).text;
        for (const std::string_view word : Words(text))
            EXPECT_FALSE(literary.contains(word.substr(0, word.find(',')))) << Cp1252ToUtf8(text);
    }
}

// à, ù, ç, capitals and accented capitals: every sentence holds the focus, in real words
// ("à", "là où", "Ça", "À ", first names, "SŒUR").
TEST_F(CourseTextTest, RareLettersAndCapitalsComeInRealWords) {
    const std::string letters = Utf8ToCp1252("abcdefghijklmnopqrstuvwxyzàâçéèêëîïôûùüœ");
    std::string allowed = letters + ".";
    for (const char c : letters) allowed += char(Cp1252Upper(static_cast<unsigned char>(c)));
    const CourseIndex index(*words_, allowed);
    SeedRandom(29);
    for (const char focus : Utf8ToCp1252("àùçÀÇÙŒÉÊÏ")) {
        for (int i = 0; i < 20; ++i) {
            const CourseText lesson = MakeCourseText(index, focus, {}, 70);
            SCOPED_TRACE(Cp1252ToUtf8(lesson.text));
            EXPECT_FALSE(lesson.invented);
            ExpectNoWordTwice(lesson.text, &IsClosed);
            std::string plain = lesson.text;
            std::replace(plain.begin(), plain.end(), '.', ' ');
            for (const std::string_view word : Words(plain))
                EXPECT_TRUE(word.empty() || IsReal(word)) << Cp1252ToUtf8(std::string(word));
            if (!lesson.sentences) continue;
            for (std::string_view rest = lesson.text; !rest.empty();) {
                const std::size_t end = std::min(rest.size(), rest.find('.') + 1);
                const std::string_view sentence = rest.substr(0, end);
                EXPECT_NE(sentence.find(focus), std::string_view::npos) << Cp1252ToUtf8(std::string(sentence));
                // "où" for ù, "Ça" for Ç, "À" for À.
                const std::string_view needed = focus == '\xF9'   ? "o\xF9 "
                                                : focus == '\xC7' ? "\xC7"
                                                                    "a "
                                                : focus == '\xC0' ? "\xC0 "
                                                                  : "";
                EXPECT_NE(sentence.find(needed), std::string_view::npos);
                EXPECT_TRUE(needed.empty() || focus == '\xF9' || sentence.starts_with(needed));
                rest.remove_prefix(std::min(rest.size(), end + 1));
            }
        }
        // The capitals with no sentence start of their own are in sentences too.
        EXPECT_TRUE(MakeCourseText(index, focus, {}, 70).sentences) << Cp1252ToUtf8(std::string(1, focus));
    }
}

// A noun the dictionary gives in both genders takes no determiner or adjective that tells
// one: "notre livre", "les livres rouges", never "la livre" or "des livres verts".
TEST(CourseAgreementTest, EpiceneNounsTellNoGender) {
    auto lexicon = std::make_unique<Lexicon>();
    fixture::AddRegularVerb(*lexicon, "chant");
    fixture::AddNoun(*lexicon, "livre", "livre", "livres", "livres");
    fixture::AddAdjective(*lexicon, "verte", "vert", "vertes", "verts");
    fixture::AddAdjective(*lexicon, "rouge", "rouge", "rouges", "rouges");
    const CourseWords ranked(*lexicon, WordRanking());
    const CourseIndex index(ranked, "abcdefghijklmnopqrstuvwxyz");
    const std::set<std::string> neutral = {"notre", "votre", "leur", "les", "des", "ces",
                                           "mes",   "tes",   "ses",  "nos", "vos", "leurs"};
    SeedRandom(31);
    int phrases = 0;
    for (int i = 0; i < 200; ++i) {
        const std::string text = MakeCourseText(index, 'r', {}, 60).text;
        const std::vector<std::string_view> words = Words(text);
        for (std::size_t w = 1; w < words.size(); ++w) {
            if (!words[w].starts_with("livre")) continue;
            ++phrases;
            EXPECT_TRUE(neutral.contains(std::string(words[w - 1]))) << text;
            EXPECT_FALSE(w + 1 < words.size() && words[w + 1].starts_with("vert")) << text;
        }
    }
    EXPECT_GT(phrases, 50);
}

TEST(CourseDrill, NumbersUseTheLearnedDigitsOnly) {
    SeedRandom(37);
    const std::string words = "le rat lit une note et la tasse";
    for (int i = 0; i < 200; ++i) {
        const std::string dollars = AddDrillCharacter(words, '$', "abcdeilnorstu234$");
        ASSERT_NE(dollars.find_first_of("234"), std::string::npos) << dollars;
        ASSERT_EQ(dollars.find_first_of("015"), std::string::npos) << dollars;
        const std::string number = CourseNumber('3', "2345");
        ASSERT_NE(number.find('3'), std::string::npos);
        ASSERT_EQ(number.find_first_not_of("2345"), std::string::npos);
    }
    EXPECT_EQ(CourseNumber('0', "0"), "0") << "a zero when that is all there is";
    EXPECT_EQ(CourseNumber('$', "abc"), "") << "no digit learned";
}

TEST_F(CourseTextTest, DollarLessonsWriteLearnedDigitsAfterPluralsOrPrices) {
    const CourseIndex index(*words_, kOrder + ".234$");
    SeedRandom(41);
    for (int i = 0; i < 50; ++i) {
        const CourseText lesson = MakeCourseText(index, '$', {}, 70);
        SCOPED_TRACE(lesson.text);
        EXPECT_TRUE(lesson.sentences);
        EXPECT_NE(lesson.text.find("\xA0$"), std::string::npos);
        EXPECT_EQ(lesson.text.find('1'), std::string::npos);
    }
}

TEST(CourseIntro, NewKeyAloneThenWithItsNeighbours) {
    EXPECT_EQ(KeyIntroLine('j', "").substr(0, 7), "jjj jj ");
    const std::string line = KeyIntroLine('j', "fk");
    EXPECT_TRUE(line.starts_with("jjj fff jf fj")) << line;
    EXPECT_GE(line.size(), 40u);
    EXPECT_LE(line.size(), 60u);
    EXPECT_EQ(line.find_first_not_of("jfk "), std::string::npos);
    EXPECT_NE(line.find('k'), std::string::npos);

    const std::shared_ptr<const KeyboardLayout> azerty = LoadXkbLayout(*LayoutName::Parse("fr"));
    const std::shared_ptr<const KeyboardLayout> bepo = LoadXkbLayout(*LayoutName::Parse("fr(bepo)"));
    ASSERT_TRUE(azerty && bepo);
    // Beside it first, then under the same finger; only what is learned.
    EXPECT_EQ(KeyNeighbours(*azerty, 'j', "fjdksl"), "k");
    EXPECT_EQ(KeyNeighbours(*azerty, 'j', "fjdkslhu"), "hku");
    EXPECT_EQ(KeyNeighbours(*azerty, 'g', "fghtb"), "fht");
    EXPECT_EQ(KeyNeighbours(*bepo, 't', "auietsrn"), "s");
    EXPECT_EQ(KeyNeighbours(*bepo, 'e', "auietsrn"), "i");
}

}  // namespace
