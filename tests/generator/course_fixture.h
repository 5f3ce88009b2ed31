// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The real lexicon's course words for the course text tests, loaded once per test program,
// and what the tests check lessons with.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/cp1252.h"
#include "generator/built_lexicon.h"
#include "generator/course_text.h"
#include "support/test_support.h"

namespace course_test {

// The order in which a French course unlocks the letters: the most frequent letters of
// French, those of the home row of the French layout among the first.
inline const std::string kOrder(Utf8ToCp1252("esaitnrulodcpmév"));
constexpr int kTexts = 1000;

inline std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view word = text.substr(start, end - start);
        // An elided determiner or pronoun (l', j') is a word of its own.
        if (word.size() > 2 && word[1] == '\'') {
            words.push_back(word.substr(0, 2));
            word.remove_prefix(2);
        }
        words.push_back(word);
        start = end + 1;
    }
    return words;
}

// Words that Hunspell's French dictionary does not know, in a batch of texts (one a line).
inline std::string HunspellUnknown(const std::vector<std::string>& texts) {
    const std::string folder = test_support::MakeTempFolder("clavelle-course");
    std::string utf8;
    for (const std::string& text : texts) utf8 += Cp1252ToUtf8(text) + "\n";
    test_support::WriteBytes(folder + "/texts.txt", utf8);
    const std::string command = "hunspell -d fr -i utf-8 -l < " + folder + "/texts.txt > " + folder + "/unknown.txt";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::string unknown = test_support::ReadBytes(folder + "/unknown.txt");
    std::filesystem::remove_all(folder);
    return unknown;
}

class CourseTextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        lexicon_ = LoadBuiltLexicon();
        if (!lexicon_) return;
        const WordRanking ranking = LoadWordRanking(BuiltLexiconFolder());
        words_ = new CourseWords(*lexicon_, ranking);
        forms_ = new std::unordered_set<std::string_view>;
        const Lexicon& l = *lexicon_;
        for (int v = 1; v <= l.VerbCount; ++v)
            for (const ShortString& form : l.Verb(v).Slots) forms_->insert(form.View());
        for (int n = 1; n <= l.NounCount; ++n)
            for (const ShortString& form : l.Noun(n).Slots) forms_->insert(form.View());
        for (int a = 1; a <= l.AdjectiveCount; ++a)
            for (const ShortString& form : l.Adjective(a).Slots) forms_->insert(form.View());
        for (const Gender gender : {Gender::Feminine, Gender::Masculine})
            for (int i = 1; i <= l.NameCount(gender); ++i) forms_->insert(l.Name(gender, i).View());
    }
    static void TearDownTestSuite() {
        delete forms_;
        delete words_;
        delete lexicon_;
        forms_ = nullptr;
        words_ = nullptr;
        lexicon_ = nullptr;
    }
    void SetUp() override {
        if (lexicon_) return;
        if (std::getenv("CLAVELLE_DATA_DIR")) FAIL() << "no lexicon in CLAVELLE_DATA_DIR";
        GTEST_SKIP() << "CLAVELLE_DATA_DIR not set";
    }
    static bool IsClosed(std::string_view word) {
        const auto closed = CourseClosedWords();
        return std::find(closed.begin(), closed.end(), word) != closed.end();
    }

    // A word of a lesson that the lexicon or the closed words hold, also when written as at
    // a sentence start or in capitals.
    static bool IsReal(std::string_view word) {
        if (forms_->contains(word) || IsClosed(word)) return true;
        std::string lower(word);
        for (char& c : lower) c = char(Cp1252Lower(static_cast<unsigned char>(c)));
        std::string first(lower);
        first[0] = word[0];
        return forms_->contains(lower) || IsClosed(lower) || forms_->contains(first);
    }

    static inline Lexicon* lexicon_ = nullptr;
    static inline CourseWords* words_ = nullptr;
    static inline std::unordered_set<std::string_view>* forms_ = nullptr;
};

}  // namespace course_test
