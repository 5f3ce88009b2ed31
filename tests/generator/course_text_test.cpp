// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Course texts on the real lexicon: only unlocked characters, only real words, the focus
// in every word, and whole sentences that Hunspell accepts once enough keys are unlocked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/cp1252.h"
#include "common/io_error.h"
#include "generator/built_lexicon.h"
#include "generator/course_fixture.h"
#include "generator/course_text.h"
#include "generator/fixture_lexicon.h"
#include "generator/random.h"
#include "lexicon/loader.h"
#include "support/test_support.h"

namespace {

using namespace course_test;

TEST_F(CourseTextTest, FirstLessonsUseOnlyUnlockedKeysAndRealWords) {
    const CoursePair slowPairs[] = {{'e', 's', 3.0}, {'a', 'i', 1.0}, {'t', ' ', 2.0}};
    for (const int unlocked : {4, 6, 10, 16}) {
        SCOPED_TRACE(unlocked);
        const std::string allowed = kOrder.substr(0, std::size_t(unlocked));
        const CourseIndex index(*words_, allowed);
        SeedRandom(uint64_t(unlocked));
        int sentences = 0;
        std::vector<std::string> sentenceTexts;
        for (int i = 0; i < kTexts; ++i) {
            const char focus = allowed[std::size_t(i % unlocked)];
            const CourseText lesson = MakeCourseText(index, focus, slowPairs, 60 + i % 61);
            const std::string& text = lesson.text;
            SCOPED_TRACE(Cp1252ToUtf8(text));
            ASSERT_FALSE(text.empty());
            EXPECT_FALSE(lesson.invented);
            ASSERT_TRUE(text.front() != ' ' && text.back() != ' ' && text.find("  ") == std::string::npos);
            for (const char c : text) ASSERT_TRUE(c == ' ' || allowed.find(c) != std::string::npos);
            // Word lists: the focus everywhere; sentences: in every word but the
            // determiners, pronouns, prepositions and auxiliaries once many words hold the
            // focus, somewhere in the text before.
            ASSERT_NE(text.find(focus), std::string::npos);
            for (const std::string_view word : Words(text)) {
                ASSERT_TRUE(forms_->contains(word) || IsClosed(word)) << Cp1252ToUtf8(std::string(word));
                const bool holds = word.find(focus) != std::string_view::npos;
                ASSERT_TRUE(holds || (lesson.sentences && (IsClosed(word) || unlocked < 10)))
                    << Cp1252ToUtf8(std::string(word));
            }
            if (lesson.sentences) {
                ++sentences;
                sentenceTexts.push_back(text);
            }
        }
        if (unlocked == 16) {
            EXPECT_GE(sentences, kTexts / 2);
            EXPECT_EQ(HunspellUnknown(sentenceTexts), "");
        }
    }
}

TEST_F(CourseTextTest, CapitalsPeriodAndApostropheOnceUnlocked) {
    std::string allowed = kOrder + "'.";
    for (const char c : kOrder)
        if (c >= 'a' && c <= 'z') allowed += char(c - 'a' + 'A');
    const CourseIndex index(*words_, allowed);
    SeedRandom(7);
    std::vector<std::string> texts;
    int elisions = 0;
    for (int i = 0; i < 300; ++i) {
        const CourseText lesson = MakeCourseText(index, kOrder[std::size_t(i % 16)], {}, 80);
        const std::string& text = lesson.text;
        SCOPED_TRACE(Cp1252ToUtf8(text));
        ASSERT_TRUE(lesson.sentences);
        EXPECT_TRUE(text.front() >= 'A' && text.front() <= 'Z');
        EXPECT_EQ(text.back(), '.');
        for (std::size_t at = text.find(". "); at != std::string::npos; at = text.find(". ", at + 1))
            EXPECT_TRUE(text[at + 2] >= 'A' && text[at + 2] <= 'Z');
        // No "le", "la" or "je" before a vowel.
        const std::vector<std::string_view> words = Words(text);
        for (std::size_t w = 0; w + 1 < words.size(); ++w) {
            const std::string_view word = words[w];
            elisions += word.back() == '\'';
            const char next = words[w + 1].front();
            const bool vowel =
                std::string_view("aeiou\xE9\xE8\xEA\xE0\xE2\xEE\xF4\xFB").find(next) != std::string_view::npos;
            EXPECT_FALSE(vowel &&
                         (word == "le" || word == "la" || word == "je" || word == "Le" || word == "La" || word == "Je"))
                << Cp1252ToUtf8(std::string(word));
        }
        std::string plain = text;
        std::replace(plain.begin(), plain.end(), '.', ' ');
        texts.push_back(plain);
    }
    EXPECT_GT(elisions, 0);
    EXPECT_EQ(HunspellUnknown(texts), "");
    // A capital as the focus is in every sentence; the period makes sentences too.
    for (int i = 0; i < 50; ++i) {
        const CourseText capital = MakeCourseText(index, 'L', {}, 80);
        SCOPED_TRACE(Cp1252ToUtf8(capital.text));
        if (capital.sentences) {
            for (std::string_view rest = capital.text; !rest.empty();) {
                const std::size_t end = std::min(rest.size(), rest.find('.') + 1);
                EXPECT_NE(rest.substr(0, end).find('L'), std::string_view::npos);
                rest.remove_prefix(std::min(rest.size(), end + 1));
            }
        } else {
            for (const std::string_view word : Words(capital.text)) EXPECT_NE(word.find('L'), std::string_view::npos);
        }
        EXPECT_TRUE(MakeCourseText(index, '.', {}, 80).sentences);
    }
}

TEST_F(CourseTextTest, SlowPairsComeMoreOften) {
    const std::string allowed = kOrder.substr(0, 10);
    const CourseIndex index(*words_, allowed);
    const auto countPair = [&](std::span<const CoursePair> pairs) {
        SeedRandom(3);
        int count = 0;
        for (int i = 0; i < 300; ++i) {
            const std::string text = MakeCourseText(index, 'o', pairs, 80).text;
            for (std::size_t at = text.find("ou"); at != std::string::npos; at = text.find("ou", at + 1)) ++count;
        }
        return count;
    };
    const CoursePair slow[] = {{'o', 'u', 5.0}};
    EXPECT_GT(countPair(slow), countPair({}) * 5 / 4);
    // Weights below zero or not a number change the odds, never the validity of the text.
    const CoursePair odd[] = {{'o', 'u', -5.0}, {'o', 'n', std::nan("")}};
    EXPECT_GE(MakeCourseText(index, 'o', odd, 80).text.size(), 40u);
}

TEST_F(CourseTextTest, InventedGroupsOnlyWhenNoRealWord) {
    // Few real words: those, never invented groups.
    const CourseIndex few(*words_, "ast");
    ASSERT_GT(few.WordsWith('t'), 0);
    ASSERT_LT(few.WordsWith('t'), kMinRealWords);
    SeedRandom(5);
    for (int i = 0; i < 20; ++i) {
        const CourseText lesson = MakeCourseText(few, 't', {}, 60);
        SCOPED_TRACE(lesson.text);
        EXPECT_FALSE(lesson.invented);
        EXPECT_GE(lesson.text.size(), 60u);
        for (const std::string_view word : Words(lesson.text)) {
            EXPECT_NE(word.find('t'), std::string_view::npos);
            EXPECT_TRUE(IsReal(word));
        }
    }
    // No real word holds k: groups that hold it, every other one a real word.
    const CourseIndex none(*words_, "fjdslkea");
    ASSERT_EQ(none.WordsWith('k'), 0);
    for (int i = 0; i < 20; ++i) {
        const CourseText lesson = MakeCourseText(none, 'k', {}, 60);
        SCOPED_TRACE(lesson.text);
        EXPECT_TRUE(lesson.invented);
        EXPECT_FALSE(lesson.sentences);
        const std::vector<std::string_view> words = Words(lesson.text);
        for (std::size_t w = 0; w < words.size(); ++w) {
            EXPECT_EQ(words[w].find_first_not_of("fjdslkea"), std::string_view::npos);
            EXPECT_EQ(words[w].find('k') != std::string_view::npos, w % 2 == 0);
        }
    }
    // No letter at all: nothing to type, and no crash.
    const CourseIndex letterless(*words_, ".");
    EXPECT_EQ(MakeCourseText(letterless, 'e', {}, 60).text, "");
}

// Determiners, subjects, nouns, adjectives and verbs agree, and le, la and je elide as
// they must: a lexicon whose every form tells its gender, number or person.
TEST(CourseAgreementTest, SentencesAgree) {
    auto lexicon = std::make_unique<Lexicon>();
    const int verb = fixture::AddRegularVerb(*lexicon, "chant");
    fixture::AddNoun(*lexicon, "", "chat", "", "chats");
    fixture::AddNoun(*lexicon, "", "arbre", "", "arbres");
    fixture::AddNoun(*lexicon, "vache", "", "vaches", "");
    fixture::AddNoun(*lexicon, "amande", "", "amandes", "");
    fixture::AddNoun(*lexicon, "hache", "", "haches", "");
    fixture::AddAdjective(*lexicon, "mate", "mat", "mates", "mats");
    // Gender and number of each nominal form: 0 masculine singular, 1 feminine singular, 2 plural.
    const std::map<std::string, int> nominal = {
        {"chat", 0},  {"arbre", 0},  {"vache", 1},  {"amande", 1},  {"hache", 1},  {"mat", 0},  {"mate", 1},
        {"chats", 2}, {"arbres", 2}, {"vaches", 2}, {"amandes", 2}, {"haches", 2}, {"mats", 2}, {"mates", 2}};
    const std::map<std::string, int> determiners = {{"le", 0},  {"un", 0},    {"ce", 0},    {"cet", 0},   {"mon", 0},
                                                    {"ton", 0}, {"son", 0},   {"la", 1},    {"une", 1},   {"cette", 1},
                                                    {"ma", 1},  {"ta", 1},    {"sa", 1},    {"les", 2},   {"des", 2},
                                                    {"ces", 2}, {"mes", 2},   {"tes", 2},   {"ses", 2},   {"nos", 2},
                                                    {"vos", 2}, {"leurs", 2}, {"notre", 3}, {"votre", 3}, {"leur", 3}};
    const std::map<std::string, int> pronouns = {{"je", 0}, {"j'", 0},   {"tu", 1},   {"il", 2},  {"elle", 2},
                                                 {"on", 2}, {"nous", 3}, {"vous", 4}, {"ils", 5}, {"elles", 5}};
    // Persons of each conjugated form and of each form of avoir.
    std::map<std::string, std::set<int>> persons;
    for (const int slot : {kIndicativePresentSlot, kImperfectSlot, kFutureSlot})
        for (int person = 0; person < 6; ++person)
            persons[std::string(lexicon->Verb(verb).Slots[slot + person].View())].insert(person);
    const char* const have[6] = {"ai", "as", "a", "avons", "avez", "ont"};

    const CourseWords ranked(*lexicon, WordRanking());
    const CourseIndex index(ranked, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ'.");
    SeedRandom(11);
    int elided = 0;
    for (int i = 0; i < 300; ++i) {
        const CourseText lesson = MakeCourseText(index, 'a', {}, 100);
        ASSERT_TRUE(lesson.sentences) << lesson.text;
        ASSERT_EQ(lesson.text.back(), '.');
        std::string_view rest(lesson.text);
        while (!rest.empty()) {
            const std::size_t period = rest.find('.');
            std::string sentence(rest.substr(0, period));
            sentence[0] = char(Cp1252Lower(static_cast<unsigned char>(sentence[0])));
            const std::vector<std::string_view> words = Words(sentence);
            rest.remove_prefix(std::min(rest.size(), period + 2));
            SCOPED_TRACE(lesson.text);
            std::size_t at = 0;
            const auto next = [&] { return at < words.size() ? std::string(words[at++]) : std::string(); };
            // Determiner, noun, maybe an adjective: the phrase's gender and number.
            const auto nounPhrase = [&](const std::string& determiner) {
                const std::string noun = next();
                const int agreement = nominal.contains(noun) ? nominal.at(noun) : -1;
                EXPECT_GE(agreement, 0) << noun;
                const bool vowel = noun[0] == 'a';
                const bool possessive = determiner == "mon" || determiner == "ton" || determiner == "son";
                if (determiner == "l'") {
                    EXPECT_TRUE(vowel && agreement < 2) << noun;
                    ++elided;
                } else {
                    // mon, ton and son also go before a feminine noun that starts with a vowel.
                    const bool fits = determiners.contains(determiner) &&
                                      (determiners.at(determiner) == agreement ||
                                       (determiners.at(determiner) == 3 && agreement < 2) || (possessive && vowel));
                    EXPECT_TRUE(fits) << determiner << ' ' << noun;
                    const bool elides = determiner == "le" || determiner == "la" || determiner == "ce" ||
                                        determiner == "ma" || determiner == "ta" || determiner == "sa";
                    EXPECT_FALSE(vowel && elides) << determiner << ' ' << noun;
                    EXPECT_FALSE(!vowel && determiner == "cet") << noun;
                    EXPECT_FALSE(noun[0] == 'h' && (elides || possessive)) << determiner << ' ' << noun;
                }
                if (at < words.size() && words[at].starts_with("mat")) {
                    EXPECT_EQ(nominal.at(std::string(words[at])), agreement) << noun << ' ' << words[at];
                    ++at;
                }
                return agreement;
            };
            const std::string first = next();
            int person = 2;
            if (pronouns.contains(first)) {
                person = pronouns.at(first);
                elided += first == "j'";
            } else {
                person = nounPhrase(first) == 2 ? 5 : 2;
            }
            const std::string form = next();
            if (form == have[person])
                EXPECT_EQ(next(), "chant\xE9");
            else
                EXPECT_TRUE(persons[form].contains(person)) << first << ' ' << form;
            nounPhrase(next());
            if (at < words.size()) {
                const std::string link = next();
                const std::set<std::string> links = {"et",   "dans", "sur", "sous",   "avec",
                                                     "pour", "vers", "par", "contre", "chez"};
                EXPECT_TRUE(links.contains(link)) << link;
                nounPhrase(next());
            }
            EXPECT_EQ(at, words.size());
        }
    }
    EXPECT_GT(elided, 0);
}

TEST(WordRankingTest, FirstRankWinsAndMissingFileIsNamed) {
    WordRanking ranking;
    ranking.Read("de\r\n\xE4\xB8\xAD\nest\n\nl\xC3\xA0\nde\n");  // a line that Windows-1252 cannot hold
    EXPECT_EQ(ranking.Rank("de"), 1);
    EXPECT_EQ(ranking.Rank("est"), 3);
    EXPECT_EQ(ranking.Rank("l\xE0"), 5);
    EXPECT_EQ(ranking.Rank("le"), WordRanking::kUnranked);
    try {
        LoadWordRanking("/nonexistent-folder");
        ADD_FAILURE() << "no error";
    } catch (const IoError& error) {
        EXPECT_EQ(error.code(), kIoFileNotFound);
        EXPECT_EQ(error.path(), std::string("/nonexistent-folder/") + kWordRankingFile);
    }
}

}  // namespace

// Punctuation, digits and symbols come between words as French writes them.
TEST(CourseDrill, PunctuationDigitsAndSymbolsAreDrilledBetweenWords) {
    SeedRandom(7);
    const std::string words = "le rat lit une note et la tasse";
    const std::string bang = AddDrillCharacter(words, '!', "abcdeilnorstu!");
    EXPECT_NE(bang.find("\xA0!"), std::string::npos) << bang;
    EXPECT_EQ(bang.find(" !"), std::string::npos) << "a no-break space, not a blank, before !";
    const std::string comma = AddDrillCharacter(words, ',', "abcdeilnorstu,");
    EXPECT_NE(comma.find(", "), std::string::npos) << comma;
    const std::string digits = AddDrillCharacter(words, '4', "abcdeilnorstu47");
    EXPECT_NE(digits.find('4'), std::string::npos) << digits;
    for (char c : digits) EXPECT_NE(std::string_view("abcdeilnorstu47 ").find(c), std::string_view::npos) << digits;
    EXPECT_EQ(AddDrillCharacter(words, 'e', "abcdeilnorstu"), words) << "a letter is not drilled";
    EXPECT_EQ(AddDrillCharacter("oui !", '!', "ouin!"), "oui !") << "a text holding it stays";
}
