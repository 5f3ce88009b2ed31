// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/driver.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "generator/difficulty.h"
#include "generator/fixture_lexicon.h"
#include "generator/random.h"
#include "generator/random_words.h"
#include "generator/reference_difficulty.h"
#include "generator/sentence_checks.h"
#include "keyboard/layout.h"

using fixture::Cp;

namespace {

std::vector<std::string> SplitSentences(const std::string& text) {
    std::vector<std::string> sentences;
    std::size_t start = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] != ' ') continue;
        if (text[i - 1] == '.' || (i >= 2 && text[i - 1] == '!' && text[i - 2] == '\xA0')) {
            sentences.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size()) sentences.push_back(text.substr(start));
    return sentences;
}

void SetCell(ProgressRecord& record, char previous, char current, std::initializer_list<int> samples) {
    KeyPairStats& cell = record.Cell(KeyOfChar[uint8_t(previous)], KeyOfChar[uint8_t(current)]);
    cell.Count = 0;
    for (int s : samples) cell.Times[cell.Count++] = uint16_t(s);
}

class DifficultyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(KeyOfChar[uint8_t('a')], 0);
        ASSERT_NE(KeyOfChar[uint8_t('b')], KeyOfChar[uint8_t('a')]);
    }
    int32_t Both(std::string_view text) {
        MeanTable means;
        ComputeMeans(*record, means);
        const int32_t fast = SentenceDifficulty(means, text);
        EXPECT_EQ(fast, SentenceDifficultyLiteral(*record, text)) << text;
        return fast;
    }
    fixture::RecordHolder record;
};

TEST_F(DifficultyTest, MeanOfPairMeans) {
    EXPECT_EQ(Both(""), 0);
    EXPECT_EQ(Both("a"), 0);
    EXPECT_EQ(Both("ab"), 0);  // no samples yet
    SetCell(*record, 'a', 'b', {100, 200, 301});
    EXPECT_EQ(Both("ab"), 200);  // 601 div 3
    EXPECT_EQ(Both("a"), 0);
    EXPECT_EQ(Both("ba"), 0);  // the order of the keys matters
    SetCell(*record, 'a', 'b', {150});
    SetCell(*record, 'b', 'c', {251});
    EXPECT_EQ(Both("abc"), 200);   // (150 + 251) div 2
    EXPECT_EQ(Both("abcx"), 200);  // (c, x) has no samples: skipped
    // Capitals share their letter's key.
    EXPECT_EQ(Both("Abc"), 200);
}

TEST_F(DifficultyTest, PairsWithoutKeySkippedAndCountsClamped) {
    int keyless = -1;
    for (int c = 1; c < 256 && keyless < 0; ++c)
        if (KeyOfChar[c] == 0) keyless = c;
    ASSERT_GT(keyless, 0);
    SetCell(*record, 'a', 'b', {300});
    std::string text = "ab";
    text += char(keyless);
    text += "ab";
    EXPECT_EQ(Both(text), 300);
    // A Count above 128 reads no more than the 128 samples of the cell.
    KeyPairStats& cell = record->Cell(KeyOfChar[uint8_t('x')], KeyOfChar[uint8_t('y')]);
    for (auto& t : cell.Times) t = 90;
    cell.Count = 200;
    EXPECT_EQ(SentenceDifficultyLiteral(*record, "xy"), 90);
}

TEST(SelectCandidateTest, HardestOrEasiestAndTiesKeepTheEarlier) {
    const std::array<int32_t, 4> difficulties = {120, 180, 180, 90};
    EXPECT_EQ(SelectCandidate(difficulties, true), 1);
    EXPECT_EQ(SelectCandidate(difficulties, false), 3);
    const std::array<int32_t, 20> zeros{};
    EXPECT_EQ(SelectCandidate(zeros, true), 0);
    EXPECT_EQ(SelectCandidate(zeros, false), 0);
    EXPECT_EQ(SelectCandidate({}, true), -1);
}

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override { lexicon = fixture::SmallLexicon(); }

    // The 20 candidates the driver makes from the current random state, drawn the same
    // way: verb, tense, person until the form exists, then the sentence.
    std::vector<std::pair<std::string, int32_t>> Candidates(SentenceGenerator& generator) {
        std::vector<std::pair<std::string, int32_t>> candidates;
        for (int i = 0; i < kCandidateCount; ++i) {
            int verb, tense, person;
            do {
                verb = Random(lexicon->VerbCount) + 1;
                tense = Random(14) + 10;
                person = Random(6);
            } while (!VerbHasForm(*lexicon, verb, tense, person));
            const std::string sentence = generator.GenerateSentence(verb, tense, person);
            candidates.emplace_back(sentence, generator.SentenceDifficulty(sentence));
        }
        return candidates;
    }

    std::unique_ptr<Lexicon> lexicon;
    fixture::RecordHolder record;
};

TEST_F(DriverTest, KeepsTheCandidateTheSelectionRuleChooses) {
    fixture::FillRecord(*record, 5);
    for (bool hard : {true, false}) {
        for (uint64_t seed = 1; seed <= 6; ++seed) {
            SentenceGenerator replay(*lexicon, *record, hard);
            SeedRandom(seed);
            const auto candidates = Candidates(replay);
            std::vector<int32_t> difficulties;
            for (const auto& c : candidates) difficulties.push_back(c.second);
            const int kept = SelectCandidate(difficulties, hard);

            SentenceGenerator generator(*lexicon, *record, hard);
            SeedRandom(seed);
            EXPECT_EQ(generator.NextSentence(), candidates[std::size_t(kept)].first) << hard << seed;
        }
    }
}

TEST_F(DriverTest, EmptyRecordKeepsTheFirstCandidateAndFirstNames) {
    for (bool hard : {true, false}) {
        SentenceGenerator replay(*lexicon, *record, hard);
        SeedRandom(17);
        const auto candidates = Candidates(replay);
        SentenceGenerator generator(*lexicon, *record, hard);
        SeedRandom(17);
        EXPECT_EQ(generator.NextSentence(), candidates.front().first);
        // Names: the first of the 100 draws.
        SeedRandom(23);
        const int first = Random(lexicon->FemaleNameCount) + 1;
        SeedRandom(23);
        EXPECT_EQ(generator.SelectName(Gender::Feminine), lexicon->FemaleName(first).View());
    }
}

TEST_F(DriverTest, SentenceDrawsBothSexesThenBothNames) {
    // With an empty record the first of the 100 draws is kept. Random(2) = 1 is the male list.
    const int verb = 1;  // chanter, every form
    for (uint64_t seed = 1; seed <= 30; ++seed) {
        SentenceGenerator generator(*lexicon, *record, true);
        SeedRandom(seed);
        const bool firstMale = Random(2) == 1;
        const bool secondMale = Random(2) == 1;
        auto firstDraw = [&](bool male) {
            const int count = male ? lexicon->MaleNameCount : lexicon->FemaleNameCount;
            const int i = Random(count) + 1;
            for (int d = 2; d <= kNameDrawCount; ++d) Random(count);
            return std::string(male ? lexicon->MaleName(i).View() : lexicon->FemaleName(i).View());
        };
        const std::string name1 = firstDraw(firstMale);
        const std::string name2 = firstDraw(secondMale);
        SeedRandom(seed);
        const std::string sentence = generator.GenerateSentence(verb, kImperativePresent, 4);
        const bool joined = sentence.find(" " + name1 + " et " + name2 + " ") != std::string::npos ||
                            (sentence.find(" " + name1 + " pour ") != std::string::npos &&
                             sentence.find(" " + name2 + " ") != std::string::npos);
        EXPECT_TRUE(joined) << sentence << " / " << name1 << " " << name2;
    }
}

TEST_F(DriverTest, NameSelectionFollowsTheLevel) {
    // Marie (m-a-r-i-e) is slow to type, Anne fast; Paul slow, Luc fast.
    auto slowWord = [&](std::string_view word, int ms) {
        for (std::size_t i = 1; i < word.size(); ++i) SetCell(*record, char(std::tolower(word[i - 1])), word[i], {ms});
    };
    slowWord("Marie", 400);
    slowWord("Anne", 100);
    slowWord("Paul", 380);
    slowWord("Luc", 90);
    SentenceGenerator hard(*lexicon, *record, true);
    SentenceGenerator easy(*lexicon, *record, false);
    SentenceGenerator hardLiteral(*lexicon, *record, true, LiteralRating(*record));
    SeedRandom(2);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(hard.SelectName(Gender::Feminine), "Marie");
        EXPECT_EQ(hard.SelectName(Gender::Masculine), "Paul");
        EXPECT_EQ(easy.SelectName(Gender::Feminine), "Anne");
        EXPECT_EQ(easy.SelectName(Gender::Masculine), "Luc");
        EXPECT_EQ(hardLiteral.SelectName(Gender::Feminine), "Marie");
    }
}

TEST_F(DriverTest, TextBarAndMessages) {
    std::vector<int> bar;
    SeedRandom(1);
    const std::string one = GenerateSentences(*lexicon, *record, 1, true, [&](int p) { bar.push_back(p); });
    EXPECT_EQ(bar, std::vector<int>{100});
    EXPECT_EQ(SplitSentences(one).size(), 1u);
    EXPECT_NE(one.front(), ' ');
    EXPECT_NE(one.back(), ' ');

    bar.clear();
    const std::string three = GenerateSentences(*lexicon, *record, 3, false, [&](int p) { bar.push_back(p); });
    EXPECT_EQ(bar, (std::vector<int>{33, 67, 100}));
    const auto sentences = SplitSentences(three);
    ASSERT_EQ(sentences.size(), 3u);
    EXPECT_EQ(sentences[0] + " " + sentences[1] + " " + sentences[2], three);

    bar.clear();
    GenerateSentences(*lexicon, *record, 8, true, [&](int p) { bar.push_back(p); });
    EXPECT_EQ(bar, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));  // halves to even
    EXPECT_FALSE(GenerateSentences(*lexicon, *record, 2, true, nullptr).empty());

    EXPECT_EQ(WaitingMessage(1), Cp("Veuillez patienter pendant la création d'un texte de 1 phrases..."));
    EXPECT_EQ(WaitingMessage(3), Cp("Veuillez patienter pendant la création d'un texte de 3 phrases..."));
    EXPECT_EQ(DoneMessage(1), Cp("L'ordinateur vient de créer un nouveau texte composé d'une phrase..."));
    EXPECT_EQ(DoneMessage(3), Cp("L'ordinateur vient de créer un nouveau texte composé de 3 phrases..."));
    EXPECT_EQ(kRefusalMessage,
              Cp("Il est impossible de créer un texte tant que vous n'avez pas initialisé l'ordinateur..."));
}

TEST_F(DriverTest, NoVerbGivesNoTextAndNoBar) {
    auto empty = std::make_unique<Lexicon>();
    fixture::AddNoun(*empty, "", "chat", "", "");
    int calls = 0;
    EXPECT_EQ(GenerateSentences(*empty, *record, 5, true, [&](int) { ++calls; }), "");
    EXPECT_EQ(GenerateSentences(*lexicon, *record, 0, true, [&](int) { ++calls; }), "");
    EXPECT_EQ(calls, 0);
}

TEST_F(DriverTest, LiteralAndFastDifficultyGiveTheSameText) {
    fixture::FillRecord(*record, 9);
    // Leave some cells empty so that skipped pairs play a part too.
    for (int c = 1; c <= kKeyCount; c += 3) record->Cell(KeyOfChar[uint8_t('e')], c).Count = 0;
    for (bool hard : {true, false}) {
        SeedRandom(1234);
        const std::string fast = GenerateSentences(*lexicon, *record, 25, hard, nullptr);
        SeedRandom(1234);
        const std::string literal = GenerateSentences(*lexicon, *record, 25, hard, nullptr, LiteralRating(*record));
        EXPECT_EQ(fast, literal);
    }
}

TEST_F(DriverTest, EveryTenseOfTheSmallLexiconMakesWellFormedSentences) {
    fixture::FillRecord(*record, 1);
    SentenceGenerator generator(*lexicon, *record, true);
    std::array<int, 24> tenses{};
    SeedRandom(77);
    for (int i = 0; i < 600; ++i) {
        const std::string& sentence = generator.NextSentence();
        const SentenceDraw& draw = generator.KeptDraw();
        ASSERT_GE(draw.tense, 10);
        ++tenses[std::size_t(draw.tense)];
        EXPECT_EQ(checks::Problem(sentence, draw.tense >= 22), "") << sentence;
    }
    for (int t = 10; t <= 23; ++t) EXPECT_GT(tenses[std::size_t(t)], 0) << t;
    // An unknown code, or a verb without the form, gives the fallback sentence.
    EXPECT_EQ(generator.GenerateSentence(1, 9, 0), Cp("Je suis largué pour le moment."));
    EXPECT_EQ(generator.GenerateSentence(1, 22, 0), Cp("Je suis largué pour le moment."));
    EXPECT_EQ(generator.GenerateSentence(0, 10, 0), Cp("Je suis largué pour le moment."));
}

// Lexicons that lack what the templates need: the text must still end, well formed
// wherever the names exist.
class AdversarialTest : public ::testing::Test {
protected:
    void SetUp() override { fixture::FillRecord(*record, 3); }
    std::string Generate(const Lexicon& lexicon, int n, bool hard = true) {
        SeedRandom(31);
        return GenerateSentences(lexicon, *record, n, hard, nullptr);
    }
    static void AddNamesNounsAdjectives(Lexicon& l) {
        fixture::AddFemaleName(l, "Marie");
        fixture::AddMaleName(l, "Paul");
        fixture::AddNoun(l, "amie", "ami", "amies", "amis");
        fixture::AddAdjective(l, "petite", "petit", "petites", "petits");
    }
    void ExpectWellFormed(const std::string& text, int n) {
        const auto sentences = SplitSentences(text);
        EXPECT_EQ(int(sentences.size()), n) << text;
        for (const auto& s : sentences) {
            const bool imperative = checks::EndsWith(s, "\xA0!");
            EXPECT_EQ(checks::Problem(s, imperative), "") << s;
            EXPECT_TRUE(checks::StartsWithCapital(s)) << s;
        }
    }
    fixture::RecordHolder record;
};

TEST_F(AdversarialTest, NoNounGivesTheFallbackSentence) {
    auto l = std::make_unique<Lexicon>();
    fixture::AddRegularVerb(*l, "chant");
    fixture::AddFemaleName(*l, "Marie");
    const std::string fallback = Cp("Je suis largué pour le moment.");
    EXPECT_EQ(Generate(*l, 3), fallback + " " + fallback + " " + fallback);
    fixture::AddNoun(*l, "", "", "", "");  // a noun without any form changes nothing
    EXPECT_EQ(Generate(*l, 1), fallback);
}

TEST_F(AdversarialTest, VerbsWithoutAnyFormGiveTheFallbackSentence) {
    auto l = std::make_unique<Lexicon>();
    fixture::AddVerb(*l, "rien", {});
    fixture::AddVerb(*l, "nul", {{46, "nullant"}, {48, "nuls"}});  // slots nobody reads
    AddNamesNounsAdjectives(*l);
    EXPECT_EQ(Generate(*l, 2), Cp("Je suis largué pour le moment. Je suis largué pour le moment."));
}

TEST_F(AdversarialTest, SingleVerbWithOneForm) {
    auto l = std::make_unique<Lexicon>();
    fixture::AddVerb(*l, "chanter", {{2, "chantes"}});
    AddNamesNounsAdjectives(*l);
    const std::string text = Generate(*l, 30);
    ExpectWellFormed(text, 30);
    for (const auto& s : SplitSentences(text)) EXPECT_TRUE(checks::StartsWith(s, "Tu chantes ")) << s;
}

TEST_F(AdversarialTest, OnlyImperativesAndOnlyConditionals) {
    auto imperative = std::make_unique<Lexicon>();
    fixture::AddVerb(*imperative, "chanter", {{43, "chante"}});
    AddNamesNounsAdjectives(*imperative);
    const std::string text = Generate(*imperative, 20);
    ExpectWellFormed(text, 20);
    for (const auto& s : SplitSentences(text)) EXPECT_TRUE(checks::StartsWith(s, "Chante ")) << s;

    // No imperfect anywhere: the "Si" clause cannot be made and the conditional stands alone.
    auto conditional = std::make_unique<Lexicon>();
    fixture::AddVerb(*conditional, "chanter", {{37, "chanterais"}, {40, "chanterions"}});
    AddNamesNounsAdjectives(*conditional);
    const std::string conditionals = Generate(*conditional, 20, false);
    ExpectWellFormed(conditionals, 20);
    for (const auto& s : SplitSentences(conditionals))
        EXPECT_TRUE(checks::StartsWith(s, "Je chanterais ") || checks::StartsWith(s, "Nous chanterions ")) << s;
}

TEST_F(AdversarialTest, MissingAdjectivesBeAndHave) {
    auto l = std::make_unique<Lexicon>();
    for (const char* stem : {"chant", "aim", "habit", "ador"}) fixture::AddRegularVerb(*l, stem);
    fixture::AddFemaleName(*l, "Marie");
    fixture::AddMaleName(*l, "Paul");
    fixture::AddNoun(*l, "amie", "ami", "amies", "amis");
    fixture::AddNoun(*l, "", "arbre", "", "arbres");
    fixture::AddAdjective(*l, "", "petit", "", "petits");  // no feminine at all
    const std::string text = Generate(*l, 150);
    ExpectWellFormed(text, 150);
    // No feminine adjective, no conditional of avoir, no present of être to build on.
    for (const char* wrong : {"petite", "Il aurait", "J'aurais", "Je suis"})
        EXPECT_EQ(text.find(wrong), std::string::npos) << wrong;

    auto noAdjective = std::make_unique<Lexicon>();
    fixture::AddRegularVerb(*noAdjective, "chant");
    fixture::AddEtre(*noAdjective);
    fixture::AddFemaleName(*noAdjective, "Marie");
    fixture::AddMaleName(*noAdjective, "Paul");
    fixture::AddNoun(*noAdjective, "", "arbre", "", "arbres");
    ExpectWellFormed(Generate(*noAdjective, 100), 100);
}

TEST_F(AdversarialTest, EmptyNameListsStillEndEverySentence) {
    auto l = std::make_unique<Lexicon>();
    fixture::AddRegularVerb(*l, "chant");
    fixture::AddNoun(*l, "", "arbre", "", "arbres");
    const std::string text = Generate(*l, 40);
    // An empty name keeps the glue around it, as for any name; each sentence still ends.
    const auto sentences = SplitSentences(text);
    EXPECT_EQ(sentences.size(), 40u);
    for (const auto& s : sentences) EXPECT_TRUE(checks::EndsWith(s, ".") || checks::EndsWith(s, "\xA0!")) << s;
    EXPECT_NE(text.find(" et  "), std::string::npos);
}

TEST_F(AdversarialTest, ManyVerbsOneFormEndsQuickly) {
    auto l = std::make_unique<Lexicon>();
    for (int i = 0; i < kVerbCapacity; ++i) fixture::AddVerb(*l, "vide", {});
    l->Verb(5555).Slots[kImperativeVousSlot].Assign("Rare");
    AddNamesNounsAdjectives(*l);
    const std::string text = Generate(*l, 3);
    ExpectWellFormed(text, 3);
    for (const auto& s : SplitSentences(text)) EXPECT_TRUE(checks::StartsWith(s, "Rare ")) << s;
}

}  // namespace
