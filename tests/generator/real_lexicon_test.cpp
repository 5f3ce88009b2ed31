// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The generator on the real lexicon built from the French dictionary.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "generator/built_lexicon.h"
#include "generator/conjugation.h"
#include "generator/driver.h"
#include "generator/fixture_lexicon.h"
#include "generator/random.h"
#include "generator/random_words.h"
#include "generator/reference_difficulty.h"
#include "generator/sentence_checks.h"
#include "keyboard/keyboard.h"
#include "lexicon/loader.h"
#include "tools/lexicon-builder/usage_lists.h"

namespace {

class RealLexiconTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { lexicon_ = LoadBuiltLexicon(); }
    // Outside CTest (no CLAVELLE_DATA_DIR) the tests are skipped; under CTest the lexicon
    // must be there.
    static bool UnderCTest() { return std::getenv("CLAVELLE_DATA_DIR") != nullptr; }
    static void TearDownTestSuite() {
        delete lexicon_;
        lexicon_ = nullptr;
    }
    void SetUp() override {
        if (!lexicon_) {
            if (UnderCTest()) FAIL() << "no lexicon in CLAVELLE_DATA_DIR";
            GTEST_SKIP() << "CLAVELLE_DATA_DIR not set";
        }
    }
    static Lexicon* lexicon_;
};
Lexicon* RealLexiconTest::lexicon_ = nullptr;

// A capital first letter; an imperative may keep a lower-case first letter that has no
// plain capital (à, â, ô, ç, œ).
bool AcceptableStart(const std::string& sentence, int tense) {
    if (checks::StartsWithCapital(sentence)) return true;
    const unsigned char c = static_cast<unsigned char>(sentence[0]);
    return tense == kImperativePresent && c >= 0x80;
}

TEST_F(RealLexiconTest, TenThousandSentencesAreWellFormed) {
    fixture::RecordHolder record;
    fixture::FillRecord(*record, 4);
    std::array<int, 24> tenses{};
    std::array<int, 3> shapes{};
    int checked = 0;
    for (uint64_t seed = 1; seed <= 10; ++seed) {
        SentenceGenerator generator(*lexicon_, *record, seed % 2 == 0);
        SeedRandom(seed);
        for (int i = 0; i < 1000; ++i) {
            const std::string& sentence = generator.NextSentence();
            const SentenceDraw& draw = generator.KeptDraw();
            ASSERT_GE(draw.tense, kFirstTense) << Cp1252ToUtf8(sentence);
            ASSERT_GE(draw.shape, 0) << Cp1252ToUtf8(sentence);
            ++tenses[std::size_t(draw.tense)];
            ++shapes[std::size_t(draw.shape)];
            const bool imperative = draw.tense >= kImperativePresent;
            EXPECT_EQ(checks::Problem(sentence, imperative), "") << Cp1252ToUtf8(sentence);
            EXPECT_TRUE(AcceptableStart(sentence, draw.tense)) << Cp1252ToUtf8(sentence);
            ++checked;
            if (HasFailure()) return;
        }
    }
    EXPECT_EQ(checked, 10000);
    for (int t = kFirstTense; t <= kLastTense; ++t) EXPECT_GT(tenses[std::size_t(t)], 0) << t;
    for (int s = 0; s < 3; ++s) EXPECT_GT(shapes[std::size_t(s)], 0) << s;
}

TEST_F(RealLexiconTest, EveryTenseAndPersonThroughGenerateSentence) {
    fixture::RecordHolder record;
    SentenceGenerator generator(*lexicon_, *record, true);
    SeedRandom(8);
    for (int tense = kFirstTense; tense <= kLastTense; ++tense)
        for (int person = 0; person < kPersonCount; ++person) {
            int found = 0;
            for (int verb = 1; verb <= lexicon_->VerbCount && found < 5; verb += 37) {
                if (!VerbHasForm(*lexicon_, verb, tense, person)) continue;
                ++found;
                const std::string& sentence = generator.GenerateSentence(verb, tense, person);
                EXPECT_EQ(checks::Problem(sentence, tense >= kImperativePresent), "") << Cp1252ToUtf8(sentence);
                EXPECT_TRUE(AcceptableStart(sentence, tense)) << Cp1252ToUtf8(sentence);
            }
        }
}

// The words of a Windows-1252 sentence, cut at spaces, punctuation and apostrophes; a
// hyphenated word stays whole (IsBadWord looks at its parts).
std::vector<std::string> WordsOf(const std::string& sentence) {
    std::vector<std::string> words(1);
    for (char c : sentence) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalpha(u) || u >= 0x80 || (c == '-' && !words.back().empty()))
            words.back() += c;
        else if (!words.back().empty())
            words.emplace_back();
    }
    if (words.back().empty()) words.pop_back();
    return words;
}

TEST_F(RealLexiconTest, TwoThousandSentencesHoldNoBadWord) {
    const lexbuild::UsageLists lists = lexbuild::ReadUsageLists();  // the lists of the source tree
    ASSERT_GT(lists.badWords.size(), 200u);
    fixture::RecordHolder record;
    fixture::FillRecord(*record, 4);
    for (uint64_t seed = 1; seed <= 4; ++seed) {
        SentenceGenerator generator(*lexicon_, *record, seed % 2 == 0);
        SeedRandom(seed);
        for (int i = 0; i < 500; ++i) {
            const std::string& sentence = generator.NextSentence();
            for (const std::string& word : WordsOf(sentence))
                ASSERT_FALSE(lists.IsBadWord(word)) << Cp1252ToUtf8(word) << " in " << Cp1252ToUtf8(sentence);
        }
    }
}

// Every sentence gives its verb a direct object: the dictionary the lexicon was built from
// (CLAVELLE_HUNSPELL_DIR, by default that of Debian's hunspell-fr-classical) marks every
// verb transitive direct ('t', 5th character of its code), avoir and être aside.
TEST_F(RealLexiconTest, EveryVerbTakesADirectObject) {
    const std::filesystem::path dic = "/usr/share/hunspell/fr.dic";
    if (!std::filesystem::exists(dic)) GTEST_SKIP() << dic << " absent";
    std::map<std::string, bool> transitive;  // infinitive (Windows-1252) -> some entry is
    std::ifstream in(dic);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string word, field;
        fields >> word;
        word = word.substr(0, word.find('/'));
        while (fields >> field)
            if (field.compare(0, 4, "po:v") == 0 && field.size() > 4 &&
                std::isdigit(static_cast<unsigned char>(field[4])))
                transitive[Utf8ToCp1252(word)] |= field.size() > 7 && field[7] == 't';
    }
    ASSERT_GT(transitive.size(), 5000u);
    for (int verb = 1; verb <= lexicon_->VerbCount; ++verb) {
        const std::string infinitive(lexicon_->Verb(verb).Slots[kVerbInfinitive].View());
        if (infinitive == "avoir" || infinitive == fixture::Cp("être")) continue;
        EXPECT_TRUE(transitive[infinitive]) << Cp1252ToUtf8(infinitive);
    }
}

TEST_F(RealLexiconTest, BeAndHaveAreThereAndFastEqualsLiteral) {
    EXPECT_GT(FindVerb(*lexicon_, "avoir"), 0);
    EXPECT_GT(FindVerb(*lexicon_, fixture::Cp("être")), 0);
    fixture::RecordHolder record;
    fixture::FillRecord(*record, 12);
    SeedRandom(5);
    const std::string fast = GenerateSentences(*lexicon_, *record, 12, true, nullptr);
    SeedRandom(5);
    const std::string literal = GenerateSentences(*lexicon_, *record, 12, true, nullptr, LiteralRating(*record));
    EXPECT_EQ(fast, literal);
}

}  // namespace
